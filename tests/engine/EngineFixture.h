#pragma once
// A fresh current base per test, with prompts recorded.

#include "engine/ZEP_BDC.h"
#include "engine/global_symbole.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

#include <memory>

namespace tessel::test {

class EngineTest : public testing::Test {
protected:
  EngineTest() {
    symbolesInitialises() = false;
    base = std::make_unique<MBC>();
  }
  ~EngineTest() override { base.reset(); }

  MBC& b() { return *base; }
  MSymbole* sym(std::string_view name) { return base->symbole(name); }
  MEntite* rel(std::string_view name) { return base->relation(name); }
  // A graph-owned anonymous entity kept alive by the test.
  MEntite* anon() {
    refs.push_back(base->nouvelle_entite());
    return refs.back().get();
  }

  RecordingPrompts prompts;
  std::unique_ptr<MBC> base;
  std::vector<EntityRef> refs;
};

} // namespace tessel::test
