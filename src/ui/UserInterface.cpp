// The user-interface layer's part of the start-up: the frames and dialogs the
// screens below embed, and the main window's commands that open its windows.

#include "app/EmbeddedFrames.h"
#include "app/MainForm.h"
#include "model/U_class_contenu.h"
#include "ui/Cadre_visu_OAOR.h"
#include "ui/Fenetre_Child_OAOR.h"
#include "ui/Fenetre_definition_categorie.h"
#include "ui/Fenetre_liste_obj.h"
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
  EmbeddedFrames& frames = embeddedFrames();
  frames.categoryDialog = runCategoryDialog;
  frames.taxonomyTree = [](QWidget* parent) -> TaxonomyTreeFrame* { return new TFrame_obj_rec(parent); };
  frames.noteViewer = [](QWidget* parent) -> NoteViewerFrame* { return new TFrame_visu_OAOR(parent); };

  // The selection window and the editor windows go with the main window.
  new TForme_liste_objets(&mainWindow);
  TMDIChild_OAOR::SetOwnerWindow(&mainWindow);
  QObject::connect(&mainWindow, &TMainForm::freeCommentRequested, &mainWindow,
                   [] { EditObject(nullptr, Mcontenu::Class()); });
}

} // namespace tessel
