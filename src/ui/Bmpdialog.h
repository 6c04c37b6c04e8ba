#pragma once
// The picture chooser: picks a small bitmap file (at most 4000 bytes) from a
// folder to serve as a category's picture. `TBitmapEditor` is the wrapper the
// callers create for one use; it owns the window `TBmp_dialog`.

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

class QAction;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QMenu;
class QTreeView;

namespace tessel {

// A picture the way icons show it: every pixel of the colour of its
// bottom-left pixel is transparent. Null for a null picture.
QPixmap TransparentBottomLeft(const QImage& picture);

// Where the picture list draws a picture `pictureHeight` high in an item
// `itemHeight` high: a square of `side`, at `left`, `top` inside the item.
struct PicturePlacement {
  int side;
  int left;
  int top;
  friend bool operator==(const PicturePlacement&, const PicturePlacement&) = default;
};
PicturePlacement PlacePicture(int pictureHeight, int itemHeight);

// The name written next to a picture: the first 12 characters of the file
// name, in lower case when `lowerCase`, cut before the first "." unless
// `extension`.
QString PictureCaption(const QString& fileName, bool extension, bool lowerCase);

// Largest picture file offered, in bytes.
inline constexpr qint64 LargestPictureFile = 4000;

class TBmp_dialog : public QDialog {
  Q_OBJECT
public:
  explicit TBmp_dialog(QWidget* parent = nullptr);
  // Writes the chooser's settings file (see SettingsFile).
  ~TBmp_dialog() override;

  // "BMPPROP.INI" in the folder of the program's settings
  // ($XDG_CONFIG_HOME/Tessel/).
  static QString SettingsFile();

  // The picture chosen (or cleared) when the window closes with Accepted.
  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture) { picture_ = picture; }

  // Moves the directory list to the process's current directory and lists
  // its pictures.
  void ReadPictures();
  // The folder whose pictures are listed.
  QString Directory() const { return directory_; }
  // As if the user chose `path` in the directory list: lists its pictures.
  void SetDirectory(const QString& path);

  int Columns() const { return columns_; }
  int ItemHeight() const { return itemHeight_; }
  // The text drawn next to the picture of `row` (empty when names are hidden).
  QString ItemText(int row) const;
  // Full path of the file of `row`.
  QString ItemFile(int row) const;

  QComboBox* const Cmb_disque;      // the file system root and the user's places
  QTreeView* const TV_repertoire;   // folders
  QComboBox* const Cmb_colonnes;
  QComboBox* const Cmb_pixels;
  QListWidget* const LB_bmp;
  QLabel* const Label_bmp;          // size of the clicked picture
  QLabel* const Label_nb_bmp;       // number of pictures listed
  QMenu* const PM_bmp;              // context menu of the picture list
  QAction* const Act_nom_fichier;
  QAction* const Act_extension;
  QAction* const Act_minuscules;
  QAction* const Act_valider;
  QAction* const Act_effacer;
  QAction* const Act_annuler;

public slots:
  // "Valider" and double click: the selected file becomes the picture.
  void Valider();
  // "Effacer": an empty picture.
  void Effacer();
  // Delete key: the selected file goes to the desktop's trash.
  void DeleteSelected();

  void SetColumns(int columns);
  void SetItemHeight(int height);

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  friend class PictureItemDelegate;
  QWidget* buildLeftPanel();
  QWidget* buildRightPanel();
  void fillPlaces();
  void showInTree(const QString& path);
  void listPictures();
  void updateCount();
  void updateGrid();
  void showSize();
  // The masked picture of a file, loaded once per listing.
  const QPixmap& pixmapOf(const QString& file) const;

  QFileSystemModel* const folders_;
  QString directory_;
  QImage picture_;
  int columns_ = 2;
  int itemHeight_ = 32;
  bool movingTree_ = false;
  bool followCurrent_ = false; // keep the current folder in view while folders load
  mutable QHash<QString, QPixmap> pixmaps_;
};

class TBitmapEditor : public QObject {
  Q_OBJECT
public:
  explicit TBitmapEditor(QWidget* owner = nullptr);
  // Frees the window (which writes its settings file).
  ~TBitmapEditor() override;

  // Shows the chooser modally; true when a picture was chosen or cleared,
  // and then Picture() holds it.
  bool Execute();

  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture) { picture_ = picture; }

  TBmp_dialog* Window() const { return window_; }

private:
  QImage picture_;
  QPointer<TBmp_dialog> window_;
};

} // namespace tessel
