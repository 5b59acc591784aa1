// 家谱 → 成员资料… and 谱书资料…: a member's whole record entered through the
// window field by field, each change one step of the history that undo and
// redo walk; the window following the tree, the document and another book;
// wives and pictures added, changed and removed, bad pictures refused; the
// book's data changed as one step.
#include "MainWindowTestSupport.h"
#include "RecordWindowTestSupport.h"
#include "app/Translation.h"
#include "dialogs/BookDataDialog.h"
#include "dialogs/CGenerationPoemDlg.h"
#include "dialogs/MemberRecordWindow.h"
#include "dialogs/SpouseDialog.h"
#include "document/DateWords.h"
#include "platform/Shell.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace recordtest;

// A picture of `width` × `height` pixels: a figure on a warm ground in
// colour, blank in one bit a pixel.
QByteArray PictureBytes(int width, int height, QImage::Format format = QImage::Format_RGB32) {
  QImage image(width, height, format);
  image.fill(Qt::white);
  if (format == QImage::Format_RGB32) {
    QPainter painter(&image);
    QLinearGradient ground(0, 0, 0, height);
    ground.setColorAt(0, QColor(236, 222, 196));
    ground.setColorAt(1, QColor(176, 140, 100));
    painter.fillRect(image.rect(), ground);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 44, 36));
    painter.drawEllipse(QPointF(width / 2.0, height * 0.38), height * 0.16, height * 0.2);
    painter.drawRoundedRect(
        QRectF(width / 2.0 - height * 0.32, height * 0.6, height * 0.64, height * 0.5),
        height * 0.12, height * 0.12);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

class RecordWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Load(kClan);
    window->show();
  }
  void TearDown() override {
    SetFileDialogForTesting(nullptr);
    MainWindowTest::TearDown();
  }

  // Opens the window on `name` through the tree's selection and Ctrl+I.
  MemberRecordWindow* Open(const char16_t* name) {
    SelectMember(*window, Find(name));
    QAction* command = window->findChild<QAction*>(QStringLiteral("memberRecordCommand"));
    EXPECT_NE(command, nullptr);
    EXPECT_EQ(command->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    command->trigger();
    auto* record = window->findChild<MemberRecordWindow*>();
    EXPECT_NE(record, nullptr);
    return record;
  }
  template <class T>
  T* Control(MemberRecordWindow* record, const QString& name) {
    T* control = record->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
  }
  QLineEdit* Box(MemberRecordWindow* record, RecordField field) {
    return Control<QLineEdit>(record, ObjectNameOf(field));
  }
  // Types `text` into the field's box and ends the editing with Enter.
  void Enter(MemberRecordWindow* record, RecordField field, const QString& text) {
    QLineEdit* box = Box(record, field);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    TypeKeys(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  }
  QString UndoText() const { return window->MenuAction(ID_UNDO)->text(); }
  QUndoStack* History() { return window->document().UndoStack(); }
  const MemberRecord& RecordOf(const char16_t* name) const { return Find(name)->extra.Record(); }
  void ShowTab(MemberRecordWindow* record, int index) {
    Control<QTabWidget>(record, QStringLiteral("recordTabs"))->setCurrentIndex(index);
  }
};

TEST_F(RecordWindowTest, EveryFieldIsEnteredAsOneStepOfTheHistoryAndTheWindowFollowsIt) {
  MemberRecordWindow* record = Open(u"孔丘");
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->isVisible());
  EXPECT_EQ(record->Member(), Find(u"孔丘"));
  EXPECT_EQ(record->windowTitle(), QStringLiteral("成员资料 - 孔丘"));
  // Undo and redo reach it from the window too.
  EXPECT_TRUE(record->actions().contains(window->MenuAction(ID_UNDO)));
  EXPECT_TRUE(record->actions().contains(window->MenuAction(ID_REDO)));
  // The ten fields, read-only, dates in both calendars whatever the list shows.
  EXPECT_EQ(Control<QLabel>(record, QStringLiteral("seed1"))->text(), QStringLiteral("孔纥"));
  EXPECT_EQ(Control<QLabel>(record, QStringLiteral("seed2"))->text(), BothDates(1925, 3, 3));
  EXPECT_NE(BothDates(1925, 3, 3), ShownDate(1925, 3, 3));
  EXPECT_EQ(Control<QLabel>(record, QStringLiteral("seed5"))->text(), QStringLiteral("曲阜"));
  // He is the second son by birth: the proposal stands in the empty box.
  EXPECT_EQ(Box(record, RecordField::kRank)->placeholderText(), QStringLiteral("次子"));

  const struct {
    RecordField field;
    const char16_t* text;
  } texts[] = {{RecordField::kCourtesyName, u"仲尼"},    {RecordField::kArtName, u"尼父"},
               {RecordField::kBranch, u"二房"},          {RecordField::kOffice, u"司寇"},
               {RecordField::kBirthHour, u"子时"},       {RecordField::kBurialPlace, u"曲阜孔林"},
               {RecordField::kBurialFacing, u"坐北朝南"}};
  for (const auto& row : texts) {
    const QString name = GenealogyDocument::FieldName(row.field);
    SCOPED_TRACE(name.toStdString());
    const int steps = History()->count();
    QLineEdit* box = Box(record, row.field);
    box->setFocus();
    TypeKeys(box, QString::fromStdU16String(row.text));
    // Typing is no change yet; finishing the edit is one.
    EXPECT_EQ(History()->count(), steps);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(RecordOf(u"孔丘").Text(row.field), row.text);
    EXPECT_EQ(History()->count(), steps + 1);
    EXPECT_EQ(UndoText(), QStringLiteral("撤销 更改 孔丘 的 %1").arg(name));
  }
  // The proposed 排行 taken with the button.
  ClickButton(record, "proposeRank");
  EXPECT_EQ(RecordOf(u"孔丘").rank, u"次子");
  EXPECT_EQ(Box(record, RecordField::kRank)->text(), QStringLiteral("次子"));

  // 生父 and 兼祧 name another member of the book, not himself or his father.
  Enter(record, RecordField::kBirthFather, QStringLiteral("孔某"));
  Enter(record, RecordField::kSecondFather, QStringLiteral("孔纥"));
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("本家谱中找不到孔某!"));
  EXPECT_EQ(boxes.Boxes()[1].text, QStringLiteral("孔纥不能是孔丘的兼祧!"));
  EXPECT_TRUE(RecordOf(u"孔丘").birthFather.empty());
  EXPECT_TRUE(Box(record, RecordField::kBirthFather)->text().isEmpty());
  Enter(record, RecordField::kBirthFather, QStringLiteral("孔孟皮"));
  Enter(record, RecordField::kSecondFather, QStringLiteral("孔孟皮"));
  EXPECT_EQ(RecordOf(u"孔丘").birthFather, u"孔孟皮");
  EXPECT_EQ(RecordOf(u"孔丘").secondFather, u"孔孟皮");

  // 行传 in paragraphs and 备注: committed when the box is left.
  ShowTab(record, 2);
  for (const RecordField field : {RecordField::kBiography, RecordField::kNote}) {
    auto* box = Control<QPlainTextEdit>(record, ObjectNameOf(field));
    box->setFocus();
    TypeKeys(box, QStringLiteral("少孤，好礼。"));
    QTest::keyClick(box, Qt::Key_Return);
    TypeKeys(box, QStringLiteral("晚而喜易。"));
    EXPECT_TRUE(RecordOf(u"孔丘").Text(field).empty());
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &out);
    EXPECT_EQ(RecordOf(u"孔丘").Text(field), u"少孤，好礼。\n晚而喜易。");
  }
  Shoot(record, QStringLiteral("member-window-life.png"));

  // Sources: added, changed in place, removed.
  ShowTab(record, 5);
  TypeInto(record, "sourceTitle", QStringLiteral("史记·孔子世家"));
  TypeInto(record, "sourceDetail", QStringLiteral("卷四十七"));
  ClickButton(record, "addSource");
  TypeInto(record, "sourceTitle", QStringLiteral("论语"));
  ClickButton(record, "addSource");
  ClickButton(record, "addSource");  // without a title: refused
  EXPECT_EQ(boxes.Boxes().back().text, QStringLiteral("请输入来源的题名!"));
  auto* sources = Control<QTableWidget>(record, QStringLiteral("sources"));
  ASSERT_EQ(sources->rowCount(), 2);
  sources->item(1, 1)->setText(QStringLiteral("学而"));
  ASSERT_EQ(RecordOf(u"孔丘").sources.size(), 2u);
  EXPECT_EQ(RecordOf(u"孔丘").sources[0], (Source{u"史记·孔子世家", u"卷四十七"}));
  EXPECT_EQ(RecordOf(u"孔丘").sources[1], (Source{u"论语", u"学而"}));
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 更改 孔丘 的 来源"));
  sources->selectRow(0);
  ClickButton(record, "removeSource");
  ASSERT_EQ(RecordOf(u"孔丘").sources.size(), 1u);
  EXPECT_EQ(sources->item(0, 0)->text(), QStringLiteral("论语"));
  const MemberRecord filled = RecordOf(u"孔丘");

  // Another member: his own, empty record; back again: 孔丘's.
  ShowTab(record, 0);
  SelectMember(*window, Find(u"孔孟皮"));
  EXPECT_EQ(record->Member(), Find(u"孔孟皮"));
  EXPECT_TRUE(Box(record, RecordField::kCourtesyName)->text().isEmpty());
  EXPECT_EQ(Box(record, RecordField::kRank)->placeholderText(), QStringLiteral("长子"));
  // 适 is a daughter's: open once 性别 says 女.
  auto* husband = Control<QWidget>(record, QStringLiteral("husband"));
  EXPECT_FALSE(husband->isEnabled());
  auto* sex = Control<QComboBox>(record, ObjectNameOf(RecordField::kSex));
  sex->setFocus();
  QTest::keyClick(sex, Qt::Key_Down);
  EXPECT_EQ(RecordOf(u"孔孟皮").sex, Sex::kFemale);
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 更改 孔孟皮 的 性别"));
  EXPECT_TRUE(husband->isEnabled());
  EXPECT_EQ(Box(record, RecordField::kRank)->placeholderText(), QStringLiteral("长女"));
  Enter(record, RecordField::kHusbandName, QStringLiteral("南宫适"));
  Enter(record, RecordField::kHusbandPlace, QStringLiteral("鲁国"));
  EXPECT_EQ(RecordOf(u"孔孟皮").husbandName, u"南宫适");
  EXPECT_EQ(RecordOf(u"孔孟皮").husbandPlace, u"鲁国");
  SelectMember(*window, Find(u"孔丘"));
  EXPECT_EQ(Box(record, RecordField::kCourtesyName)->text(), QStringLiteral("仲尼"));
  Shoot(record, QStringLiteral("member-window.png"));

  // Undo walks back every step, the window showing each state; redo brings
  // them all back.
  QAction* undo = window->MenuAction(ID_UNDO);
  QAction* redo = window->MenuAction(ID_REDO);
  int steps = 0;
  for (; undo->isEnabled() && steps < 100; ++steps) undo->trigger();
  EXPECT_EQ(steps, History()->count());
  EXPECT_TRUE(RecordOf(u"孔丘").Empty());
  EXPECT_TRUE(RecordOf(u"孔孟皮").Empty());
  EXPECT_FALSE(window->document().IsModified());
  SelectMember(*window, Find(u"孔丘"));
  EXPECT_TRUE(Box(record, RecordField::kBurialFacing)->text().isEmpty());
  EXPECT_EQ(Control<QTableWidget>(record, QStringLiteral("sources"))->rowCount(), 0);
  while (redo->isEnabled()) redo->trigger();
  EXPECT_EQ(RecordOf(u"孔丘"), filled);
  EXPECT_EQ(RecordOf(u"孔孟皮").husbandName, u"南宫适");
  SelectMember(*window, Find(u"孔丘"));
  EXPECT_EQ(Box(record, RecordField::kBurialFacing)->text(), QStringLiteral("坐北朝南"));
  ShowTab(record, 2);
  EXPECT_EQ(Control<QPlainTextEdit>(record, ObjectNameOf(RecordField::kBiography))->toPlainText(),
            QStringLiteral("少孤，好礼。\n晚而喜易。"));
  boxes.Clear();
}

// A son given out to continue his uncle's line is named at his birth
// father's, and follows renames. (Each change selects the member it
// changed, and the window follows the selection.)
TEST_F(RecordWindowTest, ASonGivenOutIsNamedAtHisBirthFathers) {
  MemberRecordWindow* record = Open(u"孔孟皮");
  ASSERT_NE(record, nullptr);
  auto* givenOut = Control<QLabel>(record, QStringLiteral("seed6"));
  EXPECT_EQ(givenOut->accessibleName(), QStringLiteral("出继之子:"));
  EXPECT_EQ(givenOut->text(), QStringLiteral("无"));
  GenealogyDocument& document = window->document();
  ASSERT_TRUE(document.ChangeRecordText(Find(u"孔鲤"), RecordField::kBirthFather,
                                        QStringLiteral("孔孟皮")));
  SelectMember(*window, Find(u"孔孟皮"));
  EXPECT_EQ(givenOut->text(), QStringLiteral("孔鲤（出继孔丘）"));
  MemberData renamed = *Find(u"孔丘");
  renamed.name = u"孔仲尼";
  ASSERT_EQ(document.ChangeMember(Find(u"孔丘"), renamed), EditProblem::kNone);
  SelectMember(*window, Find(u"孔孟皮"));
  EXPECT_EQ(givenOut->text(), QStringLiteral("孔鲤（出继孔仲尼）"));
  History()->undo();
  History()->undo();
  SelectMember(*window, Find(u"孔孟皮"));
  EXPECT_EQ(givenOut->text(), QStringLiteral("无"));
}

TEST_F(RecordWindowTest, WivesAreAddedChangedAndRemovedAndTheChildrensMothersFollow) {
  MemberRecordWindow* record = Open(u"孔纥");
  ASSERT_NE(record, nullptr);
  ShowTab(record, 1);
  // Each wife through the dialog; a date it cannot read keeps the dialog open.
  const auto addWife = [&](int title, const QString& surname, const QString& birth,
                           const QString& death, bool alive) {
    OnNextDialog<SpouseDialog>([=, this](SpouseDialog* d) {
      d->findChild<QComboBox*>(QStringLiteral("spouseTitle"))->setCurrentIndex(title);
      TypeInto(d, "spouseSurname", surname);
      TypeInto(d, "spouseGivenName", QStringLiteral("徵在"));
      TypeInto(d, "spouseOrigin", QStringLiteral("鲁国"));
      TypeInto(d, "spouseFather", QStringLiteral("%1公某某").arg(surname));
      TypeInto(d, "spouseBirth", QStringLiteral("1905-2-30"));
      d->findChild<QCheckBox*>(QStringLiteral("spouseAlive"))->setChecked(alive);
      TypeInto(d, "spouseDeath", death);
      TypeInto(d, "spouseBurial", QStringLiteral("防山"));
      TypeInto(d, "spouseNote", QStringLiteral("备注%1").arg(surname));
      ClickButton(d, "idc_1");
      EXPECT_TRUE(d->isVisible());
      EXPECT_FALSE(boxes.Boxes().empty());
      TypeInto(d, "spouseBirth", birth);
      ClickButton(d, "idc_1");
    });
    ClickButton(record, "addSpouse");
  };
  addWife(0, QStringLiteral("施"), QStringLiteral("1895-4-4"), QStringLiteral("1920-1-1"), false);
  addWife(1, QStringLiteral("颜"), QStringLiteral("光绪三十一年正月初一"), QString(), true);
  EXPECT_EQ(PendingModalHandlers(), 0);
  const std::vector<Spouse>& wives = RecordOf(u"孔纥").spouses;
  ASSERT_EQ(wives.size(), 2u);
  EXPECT_EQ(wives[0].title, SpouseTitle::kPei);
  EXPECT_EQ(wives[0].surname, u"施");
  EXPECT_EQ(wives[0].father, u"施公某某");
  EXPECT_EQ(wives[0].deathYear, 1920);
  EXPECT_EQ(wives[1].title, SpouseTitle::kJiPei);
  EXPECT_EQ(wives[1].alive, 1);
  EXPECT_EQ(wives[1].deathYear, 0);
  EXPECT_EQ(std::tie(wives[0].birthYear, wives[0].birthMonth, wives[0].birthDay),
            std::make_tuple(1895, 4, 4));
  // 光绪三十一年正月初一 is 1905-02-04.
  EXPECT_EQ(std::tie(wives[1].birthYear, wives[1].birthMonth, wives[1].birthDay),
            std::make_tuple(1905, 2, 4));
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 增加 孔纥 的配偶"));
  auto* table = Control<QTableWidget>(record, QStringLiteral("spouses"));
  ASSERT_EQ(table->rowCount(), 2);
  const QStringList expected = {
      QStringLiteral("继配"), QStringLiteral("颜氏"),     QStringLiteral("徵在"),
      QStringLiteral("鲁国"), QStringLiteral("颜公某某"), BothDates(1905, 2, 4),
      QStringLiteral("健在"), QStringLiteral("防山"),     QStringLiteral("备注颜")};
  for (int column = 0; column < table->columnCount(); ++column)
    EXPECT_EQ(table->item(1, column)->text(), expected[column]) << column;
  Shoot(record, QStringLiteral("member-window-spouses.png"));

  // 孔丘's 生母 is chosen among his father's wives.
  SelectMember(*window, Find(u"孔丘"));
  ShowTab(record, 0);
  auto* mother = Control<QComboBox>(record, ObjectNameOf(RecordField::kMother));
  ASSERT_EQ(mother->count(), 3);
  EXPECT_EQ(mother->itemText(2), QStringLiteral("继配 颜氏 徵在"));
  mother->setFocus();
  QTest::keyClick(mother, Qt::Key_Down);
  QTest::keyClick(mother, Qt::Key_Down);
  EXPECT_EQ(RecordOf(u"孔丘").mother, 1);
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 更改 孔丘 的 生母"));

  // A wife changed; the first removed: his mother is still 颜氏, now first.
  SelectMember(*window, Find(u"孔纥"));
  ShowTab(record, 1);
  table->selectRow(1);
  OnNextDialog<SpouseDialog>([this](SpouseDialog* d) {
    EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("spouseSurname"))->text(),
              QStringLiteral("颜"));
    TypeInto(d, "spouseOrigin", QStringLiteral("曲阜"));
    ClickButton(d, "idc_1");
  });
  ClickButton(record, "changeSpouse");
  EXPECT_EQ(RecordOf(u"孔纥").spouses[1].origin, u"曲阜");
  EXPECT_EQ(RecordOf(u"孔纥").spouses[1].birthYear, 1905);  // the dates stay
  table->selectRow(0);
  ClickButton(record, "removeSpouse");
  ASSERT_EQ(RecordOf(u"孔纥").spouses.size(), 1u);
  EXPECT_EQ(RecordOf(u"孔丘").mother, 0);
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 删除 孔纥 的配偶"));
  EXPECT_EQ(table->rowCount(), 1);
  window->MenuAction(ID_UNDO)->trigger();
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(RecordOf(u"孔丘").mother, 1);
  boxes.Clear();
}

TEST_F(RecordWindowTest, PicturesAreKeptWholeShownScaledReadWhenShownAndBadOnesRefused) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QByteArray portrait = PictureBytes(1600, 800);
  const QString portraitPath = dir.filePath(QStringLiteral("画像.png"));
  ASSERT_NO_FATAL_FAILURE(WriteFile(portraitPath, portrait));
  const QString textPath = dir.filePath(QStringLiteral("notes.png"));
  ASSERT_NO_FATAL_FAILURE(WriteFile(textPath, "not a picture at all"));
  const QString widePath = dir.filePath(QStringLiteral("wide.png"));
  ASSERT_NO_FATAL_FAILURE(WriteFile(widePath, PictureBytes(12000, 9000, QImage::Format_Mono)));
  const QString heavyPath = dir.filePath(QStringLiteral("heavy.png"));
  {
    QFile heavy(heavyPath);
    ASSERT_TRUE(heavy.open(QIODevice::WriteOnly));
    ASSERT_TRUE(heavy.resize(GenealogyDocument::kMaxPhotoBytes + 1));
  }
  QString chosen;
  SetFileDialogForTesting([&chosen](const FileDialogRequest& request) {
    EXPECT_TRUE(request.open);
    return chosen;
  });

  MemberRecordWindow* record = Open(u"孔丘");
  ASSERT_NE(record, nullptr);
  ShowTab(record, 4);
  chosen = portraitPath;
  ClickButton(record, "addPhoto");
  ASSERT_EQ(RecordOf(u"孔丘").photos.size(), 1u);
  const Photo& photo = RecordOf(u"孔丘").photos[0];
  EXPECT_EQ(photo.caption, u"画像");
  EXPECT_EQ(window->document().PhotoBytes(photo), portrait);  // the original
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 增加 孔丘 的照片"));
  const QPixmap shown = record->ShownPhoto();
  EXPECT_EQ(shown.size(),
            QSize(MemberRecordWindow::kShownPhotoSide, MemberRecordWindow::kShownPhotoSide / 2));
  auto* photos = Control<QListWidget>(record, QStringLiteral("photos"));
  ASSERT_EQ(photos->count(), 1);
  EXPECT_EQ(photos->item(0)->text(), QStringLiteral("画像（肖像）"));

  // Not a picture, too many pixels, too many bytes: refused, nothing changes.
  const int steps = History()->count();
  boxes.Clear();
  for (const QString& path : {textPath, widePath, heavyPath}) {
    chosen = path;
    ClickButton(record, "addPhoto");
  }
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("notes.png 不是能读的图片，照片没有增加。"));
  EXPECT_EQ(boxes.Boxes()[1].text,
            QStringLiteral("wide.png 的像素太多（超过 100 百万像素），照片没有增加。"));
  EXPECT_EQ(boxes.Boxes()[2].text, QStringLiteral("heavy.png 太大（超过 64 MB），照片没有增加。"));
  EXPECT_EQ(History()->count(), steps);
  EXPECT_EQ(RecordOf(u"孔丘").photos.size(), 1u);
  chosen.clear();  // cancelled
  ClickButton(record, "addPhoto");
  EXPECT_EQ(History()->count(), steps);

  // The caption, and a second picture after the portrait.
  TypeInto(record, "photoCaption", QStringLiteral("孔子像"));
  QTest::keyClick(record->findChild<QLineEdit*>(QStringLiteral("photoCaption")), Qt::Key_Return);
  EXPECT_EQ(RecordOf(u"孔丘").photos[0].caption, u"孔子像");
  chosen = portraitPath;
  ClickButton(record, "addPhoto");
  ASSERT_EQ(photos->count(), 2);
  EXPECT_EQ(photos->item(0)->text(), QStringLiteral("孔子像（肖像）"));
  Shoot(record, QStringLiteral("member-window-photos.png"));
  photos->setCurrentRow(0);
  ClickButton(record, "removePhoto");
  ASSERT_EQ(RecordOf(u"孔丘").photos.size(), 1u);
  EXPECT_EQ(RecordOf(u"孔丘").photos[0].caption, u"画像");
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 删除 孔丘 的照片"));

  // On another tab, moving between members reads no picture.
  ShowTab(record, 0);
  const int decoded = record->PicturesDecoded();
  SelectMember(*window, Find(u"孔鲤"));
  SelectMember(*window, Find(u"孔丘"));
  EXPECT_EQ(record->PicturesDecoded(), decoded);
  EXPECT_TRUE(record->ShownPhoto().isNull());
  ShowTab(record, 4);
  EXPECT_GT(record->PicturesDecoded(), decoded);
  EXPECT_FALSE(record->ShownPhoto().isNull());
  boxes.Clear();
}

TEST_F(RecordWindowTest, TheWindowOpensOnADoubleClickAndLetsGoOfWhoLeavesTheBook) {
  // A double-click on a member in the tree opens his record.
  const QModelIndex index = window->treeModel()->IndexOf(Find(u"孔纥"));
  window->treeView()->scrollTo(index);
  const QRect rect = window->treeView()->visualRect(index);
  // The press before the double-click's own, as a mouse sends it.
  QTest::mouseClick(window->treeView()->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(window->treeView()->viewport(), Qt::LeftButton, {}, rect.center());
  auto* record = window->findChild<MemberRecordWindow*>();
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->isVisible());
  EXPECT_EQ(record->Member(), Find(u"孔纥"));
  // So does a double-click on a row of the list, which keeps its rows.
  window->ClearList();
  window->AddMemberRows({Find(u"孔鲤"), Find(u"孔丘")});
  const QRect row = window->listView()->visualRect(window->listView()->model()->index(1, 0));
  QTest::mouseClick(window->listView()->viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseDClick(window->listView()->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(record->Member(), Find(u"孔丘"));
  EXPECT_EQ(ListRows(), 2);

  // 孔丘 leaves with his son: the window lets go of him.
  SelectMember(*window, Find(u"孔鲤"));
  EXPECT_EQ(record->Member(), Find(u"孔鲤"));
  window->document().DeleteMember(Find(u"孔丘"));
  EXPECT_NE(record->Member(), FindMember(*window, u"孔鲤"));
  EXPECT_EQ(FindMember(*window, u"孔鲤"), nullptr);
  window->MenuAction(ID_UNDO)->trigger();
  SelectMember(*window, Find(u"孔鲤"));
  EXPECT_EQ(record->Member(), Find(u"孔鲤"));
  // A new book: nobody is shown, and nothing can be changed.
  window->document().New();
  EXPECT_EQ(record->Member(), nullptr);
  EXPECT_EQ(record->windowTitle(), QStringLiteral("成员资料"));
  EXPECT_FALSE(
      record->findChild<QLineEdit*>(ObjectNameOf(RecordField::kCourtesyName))->isEnabled());
}

TEST_F(RecordWindowTest, TheBookDataIsChangedAsOneStep) {
  QAction* command = window->findChild<QAction*>(QStringLiteral("bookDataCommand"));
  ASSERT_NE(command, nullptr);
  const QList<QAction*> items = qobject_cast<QMenu*>(command->parent())->actions();
  EXPECT_EQ(items[items.indexOf(command) - 1],
            window->findChild<QAction*>(QStringLiteral("memberRecordCommand")));
  const auto line = [](RecordField field) {
    return QStringLiteral("book%1").arg(static_cast<int>(field)).toLatin1();
  };
  OnNextDialog<BookDataDialog>([&](BookDataDialog* d) {
    TypeInto(d, line(RecordField::kBookTitle).constData(), QStringLiteral("孔氏宗谱"));
    TypeInto(d, line(RecordField::kHallName).constData(), QStringLiteral("诗礼堂"));
    TypeInto(d, line(RecordField::kClanSeat).constData(), QStringLiteral("鲁国"));
    TypeInto(d, line(RecordField::kEditors).constData(), QStringLiteral("孔某 孔某某"));
    d->findChild<QSpinBox*>(QString::fromLatin1(line(RecordField::kEditionYear)))->setValue(1937);
    for (const RecordField field :
         {RecordField::kPreface, RecordField::kRules, RecordField::kPrecepts})
      d->findChild<QPlainTextEdit*>(QString::fromLatin1(line(field)))
          ->setPlainText(GenealogyDocument::FieldName(field) + QStringLiteral("之文\n第二段"));
    // The 字辈 is shown, not typed here: its button runs the 字辈 command.
    auto* poem = d->findChild<QLineEdit*>(QString::fromLatin1(line(RecordField::kGenerationPoem)));
    ASSERT_NE(poem, nullptr);
    EXPECT_TRUE(poem->isReadOnly());
    EXPECT_EQ(poem->accessibleName(), QStringLiteral("字辈:"));
    auto* button = d->findChild<QPushButton*>(QStringLiteral("bookPoemButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->accessibleName(), button->text());
    // Clicked once this handler is done, so that the 字辈 dialog's own
    // handler runs while it is open.
    QTimer::singleShot(0, button, &QPushButton::click);
  });
  OnNextDialog<CGenerationPoemDlg>([](CGenerationPoemDlg* p) {
    TypeInto(p, "poemEdit", QStringLiteral("希言公彦承，宏闻贞尚衍。"));
    p->findChild<QSpinBox*>(QStringLiteral("firstGenerationSpin"))->setValue(45);
    ClickButton(p, "idc_1");
  });
  OnNextDialog<BookDataDialog>([&](BookDataDialog* d) {
    EXPECT_EQ(
        d->findChild<QLineEdit*>(QString::fromLatin1(line(RecordField::kGenerationPoem)))->text(),
        QStringLiteral("希言公彦承，宏闻贞尚衍。"));
    EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("bookPoemFirstGeneration"))->text(),
              QStringLiteral("自第 45 世起"));
    Shoot(d, QStringLiteral("book-data.png"));
    ClickButton(d, "idc_1");
  });
  command->trigger();
  const BookData& book = window->document().Genealogy().Book();
  EXPECT_EQ(book.title, u"孔氏宗谱");
  EXPECT_EQ(book.hallName, u"诗礼堂");
  EXPECT_EQ(book.clanSeat, u"鲁国");
  EXPECT_EQ(book.editors, u"孔某 孔某某");
  EXPECT_EQ(book.editionYear, 1937);
  EXPECT_EQ(book.preface, u"谱序之文\n第二段");
  EXPECT_EQ(book.generationPoem, u"希言公彦承，宏闻贞尚衍。");
  EXPECT_EQ(book.poemFirstGeneration, 45);
  // The 字辈's own step, then the dialog's.
  EXPECT_EQ(History()->count(), 2);
  EXPECT_EQ(History()->text(0), QStringLiteral("更改谱书的 字辈"));
  EXPECT_EQ(UndoText(), QStringLiteral("撤销 更改谱书资料"));
  const BookData filled = book;
  // Shown again as it is; Cancel and an unchanged OK add no step.
  OnNextDialog<BookDataDialog>([](BookDataDialog* d) {
    EXPECT_EQ(d->findChild<QLineEdit*>(
                   QStringLiteral("book%1").arg(static_cast<int>(RecordField::kBookTitle)))
                  ->text(),
              QStringLiteral("孔氏宗谱"));
    ClickButton(d, "idc_2");
  });
  command->trigger();
  OnNextDialog<BookDataDialog>([](BookDataDialog* d) { ClickButton(d, "idc_1"); });
  command->trigger();
  EXPECT_EQ(History()->count(), 2);
  window->MenuAction(ID_UNDO)->trigger();
  window->MenuAction(ID_UNDO)->trigger();
  EXPECT_TRUE(window->document().Genealogy().Book().Empty());
  window->MenuAction(ID_REDO)->trigger();
  window->MenuAction(ID_REDO)->trigger();
  EXPECT_EQ(window->document().Genealogy().Book(), filled);
}

}  // namespace
