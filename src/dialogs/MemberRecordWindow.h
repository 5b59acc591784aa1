// 家谱 → 成员资料…: a member's whole record in a window of its own that stays
// open beside the main window and shows whom it is given (the main window
// gives it the tree's selection). Tabs 基本, 配偶, 生平, 墓葬, 照片 and 来源;
// the ten fields the tree has always held are shown, not edited, here.
//
// Every change goes to the document as one undoable command: a text box's
// when its editing is finished (Enter, or the focus leaving it), a choice's
// when it is made. The window shows the record as the document holds it after
// every change, undo and redo, and lets go of a member who leaves the book.
#pragma once

#include "model/MemberRecord.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <map>

class GenealogyDocument;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

class MemberRecordWindow : public QWidget {
  Q_OBJECT
public:
  // `document` must outlive the window.
  explicit MemberRecordWindow(GenealogyDocument& document, QWidget* parent = nullptr);
  ~MemberRecordWindow() override;

  // Shows `member`; none: the boxes are empty and nothing can be changed.
  void SetMember(MemberNode* member);
  MemberNode* Member() const { return m_member; }

  // The largest side of a picture as the 照片 tab shows it; the book keeps
  // the picture as it was given.
  static constexpr int kShownPhotoSide = 360;
  static constexpr int kThumbnailSide = 96;
  // The picture shown large in the 照片 tab (the selected one); null when none.
  QPixmap ShownPhoto() const;
  // How many pictures were read from the book's file or decoded so far: a
  // picture is read only when the 照片 tab shows it.
  int PicturesDecoded() const { return m_picturesDecoded; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void BuildGeneralTab(QTabWidget* tabs);
  void BuildSpouseTab(QTabWidget* tabs);
  void BuildLifeTab(QTabWidget* tabs);
  void BuildBurialTab(QTabWidget* tabs);
  void BuildPhotoTab(QTabWidget* tabs);
  void BuildSourceTab(QTabWidget* tabs);
  // A labelled box of the record's text field `field` on `form`.
  QLineEdit* AddTextBox(QWidget* page, QFormLayout* form, RecordField field);
  QPlainTextEdit* AddParagraphs(QWidget* page, QFormLayout* form, RecordField field);
  QPushButton* AddButton(QWidget* page, const QString& text, const char* name);

  // Shows the record as the document holds it now.
  void Refresh();
  // The 排行 the order of birth gives, in the empty 排行 box.
  void ShowProposedRank();
  // The sons he gave out to continue another's line, found by their 生父.
  void RefreshGivenOut();
  void RefreshSpouses();
  void RefreshSources();
  // Reads the pictures when the 照片 tab is shown; otherwise only notes that
  // they are to be read when it is.
  void RefreshPhotos();
  void ShowSelectedPhoto();
  void EnableControls();

  // The commands: each sends one change to the document.
  void CommitText(RecordField field, const QString& text);
  void CommitFatherName(RecordField field, QLineEdit* box);
  void ProposeRank();
  void AddSpouse();
  void ChangeSpouse();
  void RemoveSpouse();
  void AddPhoto();
  void RemovePhoto();
  void CommitPhotoCaption();
  void AddSource();
  void RemoveSource();
  void CommitSources();
  // The member leaves the book (with `top`, who may be he): let go of him.
  void DropIfBelow(const MemberNode* top);

  GenealogyDocument& m_document;
  MemberNode* m_member = nullptr;
  bool m_refreshing = false;
  bool m_photosStale = true;
  int m_picturesDecoded = 0;

  QLabel* m_heading = nullptr;
  QTabWidget* m_tabs = nullptr;
  QWidget* m_photoPage = nullptr;
  std::map<RecordField, QLineEdit*> m_lines;
  std::map<RecordField, QPlainTextEdit*> m_paragraphs;
  QComboBox* m_sex = nullptr;
  QComboBox* m_mother = nullptr;
  QPushButton* m_proposeRank = nullptr;
  QGroupBox* m_husband = nullptr;
  // The ten fields, read-only.
  std::map<int, QLabel*> m_seed;
  QTableWidget* m_spouses = nullptr;
  QPushButton* m_addSpouse = nullptr;
  QPushButton* m_changeSpouse = nullptr;
  QPushButton* m_removeSpouse = nullptr;
  QListWidget* m_photos = nullptr;
  QLabel* m_photo = nullptr;
  QLineEdit* m_caption = nullptr;
  QPushButton* m_addPhoto = nullptr;
  QPushButton* m_removePhoto = nullptr;
  QTableWidget* m_sources = nullptr;
  QLineEdit* m_sourceTitle = nullptr;
  QLineEdit* m_sourceDetail = nullptr;
  QPushButton* m_addSource = nullptr;
  QPushButton* m_removeSource = nullptr;
  QPixmap m_shownPhoto;
};
