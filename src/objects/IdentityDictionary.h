#pragma once
// The identity dictionary of the object registry: (class name, entity) to the
// object registered for that pair. The entity itself is the key, so a lookup
// builds and hashes no text; the class name (compared ignoring case) only
// tells apart the rare objects of several classes over one entity.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tessel {

class MEntite;
class MObject_OCS;

class IdentityDictionary {
public:
  // Registers `object` under its class and entity, in place of the object
  // registered there before.
  void put(MObject_OCS* object);
  // The object registered for the pair, or null.
  MObject_OCS* get(std::string_view className, const MEntite* entity) const;
  // The object registered over `entity` when there is exactly one; null when
  // there is none, and `several` tells the two apart.
  MObject_OCS* onlyObjectOf(const MEntite* entity, bool& several) const;
  // Forgets the pair, whichever object it holds.
  void remove(std::string_view className, const MEntite* entity);
  // Room for `count` registrations without growing.
  void reserve(std::size_t count);
  void clear();
  std::size_t size() const { return count_; }

private:
  // A slot holds the object's address and, in the bits above any user-space
  // address, a few bits of its entity's hash: most slots of a run are passed
  // over without reading their object. Zero: empty.
  using Slot = std::uintptr_t;
  static constexpr int tagShift = 48;
  static Slot tagOf(const MEntite* entity);
  static MObject_OCS* objectOf(Slot slot);
  static const MEntite* entityOf(Slot slot);
  std::size_t home(const MEntite* entity) const;
  std::size_t next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }
  // The slot of the pair, or the first empty slot of the entity's run.
  std::size_t find(std::string_view className, const MEntite* entity) const;
  void grow(std::size_t capacity);

  // Open addressing with linear probing; a power of two in size, or empty.
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

} // namespace tessel
