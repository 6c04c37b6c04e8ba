#include "objects/IdentityDictionary.h"

#include "foundation/Errors.h"
#include "foundation/F_erreur.h"
#include "objects/ZEP_Objet_OCS.h"

#include <bit>
#include <cstdint>

namespace tessel {

namespace {

std::string_view classNameOf(const MObject_OCS* object) { return object->classe().name(); }

} // namespace

std::size_t IdentityDictionary::home(const MEntite* entity) const {
  // Entities made one after the other lie a few words apart in blocks of at
  // most 2 MiB, and their objects are registered in that order: within a
  // block, the slots follow the addresses, so loading walks the table rather
  // than jumping about it; each block starts at a place of its own.
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(entity));
  const std::uint64_t block = (address >> 21) * 0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>((address >> 3) + (block >> 32)) & (slots_.size() - 1);
}

IdentityDictionary::Slot IdentityDictionary::tagOf(const MEntite* entity) {
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(entity));
  return static_cast<Slot>(((address >> 3) * 0x9E3779B97F4A7C15ull) >> tagShift) << tagShift;
}

MObject_OCS* IdentityDictionary::objectOf(Slot slot) {
  return reinterpret_cast<MObject_OCS*>(slot & ((Slot(1) << tagShift) - 1));
}

// Every registered object is alive and keeps its entity.
const MEntite* IdentityDictionary::entityOf(Slot slot) { return objectOf(slot)->entite(); }

std::size_t IdentityDictionary::find(std::string_view className, const MEntite* entity) const {
  const Slot tag = tagOf(entity);
  std::size_t i = home(entity);
  while (slots_[i]) {
    if ((slots_[i] & ~((Slot(1) << tagShift) - 1)) == tag) {
      const MObject_OCS* object = objectOf(slots_[i]);
      if (object->entite() == entity && SameText(classNameOf(object), className)) break;
    }
    i = next(i);
  }
  return i;
}

void IdentityDictionary::grow(std::size_t capacity) {
  std::vector<Slot> old(std::bit_ceil(capacity < 16 ? std::size_t(16) : capacity));
  old.swap(slots_);
  for (const Slot slot : old) {
    if (!slot) continue;
    std::size_t i = home(entityOf(slot));
    while (slots_[i]) i = next(i);
    slots_[i] = slot;
  }
}

void IdentityDictionary::reserve(std::size_t count) {
  // At most three slots in four taken.
  if ((count + 1) * 4 > slots_.size() * 3) grow((count + 1) * 4 / 3 + 1);
}

void IdentityDictionary::put(MObject_OCS* object) {
  const auto address = reinterpret_cast<std::uintptr_t>(object);
  if (address >> tagShift) throw InternalError("adresse d'objet hors format");
  reserve(count_ + 1);
  Slot& slot = slots_[find(classNameOf(object), object->entite())];
  if (!slot) ++count_;
  slot = address | tagOf(object->entite());
}

MObject_OCS* IdentityDictionary::get(std::string_view className, const MEntite* entity) const {
  if (slots_.empty()) return nullptr;
  const Slot slot = slots_[find(className, entity)];
  return slot ? objectOf(slot) : nullptr;
}

MObject_OCS* IdentityDictionary::onlyObjectOf(const MEntite* entity, bool& several) const {
  several = false;
  MObject_OCS* found = nullptr;
  if (slots_.empty()) return nullptr;
  // Every pair of the entity lies in the run of slots from its home on.
  const Slot tag = tagOf(entity);
  for (std::size_t i = home(entity); slots_[i]; i = next(i)) {
    if ((slots_[i] & ~((Slot(1) << tagShift) - 1)) != tag || entityOf(slots_[i]) != entity) continue;
    if (found) {
      several = true;
      return nullptr;
    }
    found = objectOf(slots_[i]);
  }
  return found;
}

void IdentityDictionary::remove(std::string_view className, const MEntite* entity) {
  if (slots_.empty()) return;
  std::size_t hole = find(className, entity);
  if (!slots_[hole]) return;
  --count_;
  // Backward shift: the slots after the hole that may move into it do.
  for (std::size_t j = next(hole); slots_[j]; j = next(j)) {
    const std::size_t h = home(entityOf(slots_[j]));
    const bool between = hole <= j ? (h > hole && h <= j) : (h > hole || h <= j);
    if (!between) {
      slots_[hole] = slots_[j];
      hole = j;
    }
  }
  slots_[hole] = 0;
}

void IdentityDictionary::clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  count_ = 0;
}

} // namespace tessel
