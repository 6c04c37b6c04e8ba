#pragma once
// Users of the program: persons with a login and a password.

#include "model/U_class_ressource_personne.h"

namespace tessel {

class Mutilisateur : public Mindividu {
  TESSEL_CLASS(Mutilisateur)
public:
  explicit Mutilisateur(const ClassRef& cls = Class()) : Mindividu(cls) {}
  Mutilisateur(const ClassRef& cls, int index) : Mindividu(cls, index) {}
  TESSEL_STRING_ATTRIBUTE(Login, SetLogin, "login")
  // Kept as plain text, under the name spelled with one "s".
  TESSEL_STRING_ATTRIBUTE(Password, SetPassword, "pasword")
};

class Mutilisateur_tessel : public Mutilisateur {
  TESSEL_CLASS(Mutilisateur_tessel)
public:
  explicit Mutilisateur_tessel(const ClassRef& cls = Class()) : Mutilisateur(cls) {}
  Mutilisateur_tessel(const ClassRef& cls, int index) : Mutilisateur(cls, index) {}
};

} // namespace tessel
