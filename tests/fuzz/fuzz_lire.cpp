// libFuzzer target: any byte string given to lire must end in a clean error or
// a base that writes itself out and reads back.

#include "engine/SmallObjectPool.h"
#include "engine/ZEP_BDC.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Freed objects must go back to the sanitizer, which catches their misuse.
static_assert(!tessel::pool::enabled, "the object pool hides misuse from the fuzzer");

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessel;
  MBC base;
  MemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
  try {
    base.lire(stream);
  } catch (const StreamReadError&) {
    return 0;
  }
  MemoryStream written = base.ecrire();
  MBC again;
  again.lire(written); // what the writer wrote must read back
  return 0;
}
