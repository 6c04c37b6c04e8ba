// The user-interface layer's part of the start-up: the frames and dialogs the
// screens below embed, and the main window's commands that open its windows.

#include "app/EmbeddedFrames.h"
#include "ui/Fenetre_definition_categorie.h"
#include "ui/U_cadre_arbre_obj_rec.h"

namespace tessel {

namespace {

bool runCategoryDialog(QWidget* owner, CategoryDialogFields& fields) {
  TdefCat_Dialog dialog(owner);
  dialog.cat_caption = fields.caption;
  dialog.cat_nom = fields.name;
  dialog.cat_nom_par_defaut = fields.defaultName;
  dialog.cat_description = fields.description;
  dialog.cat_couleur = fields.colour;
  dialog.cat_couleur_modif = fields.colourEditable;
  dialog.cat_bitmap = fields.picture;
  if (!dialog.Execute()) return false;
  fields.name = dialog.cat_nom;
  fields.description = dialog.cat_description;
  fields.colour = dialog.cat_couleur;
  fields.picture = dialog.cat_bitmap;
  return true;
}

} // namespace

void InstallUserInterface(TMainForm& mainWindow) {
  (void)mainWindow;
  EmbeddedFrames& frames = embeddedFrames();
  frames.categoryDialog = runCategoryDialog;
  frames.taxonomyTree = [](QWidget* parent) { return new TFrame_obj_rec(parent); };
}

} // namespace tessel
