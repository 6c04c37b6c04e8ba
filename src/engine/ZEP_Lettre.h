#pragma once
// Letters of the lexical automaton: single characters, or named sets of
// characters, each possibly carrying the lexical entry of a word ending there.

#include "foundation/MemoryStream.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

class MEntite;

class Mlettre {
public:
  explicit Mlettre(std::uint8_t letter, MEntite* entry = nullptr) : letter_(letter), entry_(entry) {}
  virtual ~Mlettre() = default;

  std::uint8_t lettre() const { return letter_; }
  MEntite* entree() const { return entry_; }
  void setEntree(MEntite* entry) { entry_ = entry; }

  // The letter as text; a set answers its name.
  virtual std::string texte() const { return std::string(1, static_cast<char>(letter_)); }
  virtual bool estEnsemble() const { return false; }

  void ecrire(MemoryStream& stream) const { stream.write(&letter_, 1); }
  void lire(MemoryStream& stream) { letter_ = stream.readByte(); }

private:
  std::uint8_t letter_;
  MEntite* entry_; // not owned: the base owns lexical entries
};

class Mensemble_lettre : public Mlettre {
public:
  explicit Mensemble_lettre(std::string_view name, MEntite* entry = nullptr) : Mlettre(32, entry), name_(name) {}

  std::string texte() const override { return name_; }
  bool estEnsemble() const override { return true; }

  bool contient(std::uint8_t c) const { return set_.test(c); }
  void ajouter(std::uint8_t c) { set_.set(c); }
  void ajouter(std::string_view characters) {
    for (char c : characters) set_.set(static_cast<std::uint8_t>(c));
  }
  void ajouterIntervalle(std::uint8_t first, std::uint8_t last) {
    for (int c = first; c <= last; ++c) set_.set(static_cast<std::size_t>(c));
  }
  void etendre(const std::bitset<256>& more) { set_ |= more; }
  const std::bitset<256>& ensemble() const { return set_; }

private:
  std::string name_;
  std::bitset<256> set_;
};

} // namespace tessel
