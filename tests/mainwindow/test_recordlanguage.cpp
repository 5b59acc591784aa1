// The member window and the book's data in the English interface: the
// window's words, and the undo named in English.
#include "MainWindowTestSupport.h"
#include "RecordWindowTestSupport.h"
#include "app/Translation.h"
#include "dialogs/BookDataDialog.h"
#include "dialogs/MemberRecordWindow.h"

#include <QAction>
#include <QComboBox>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

using namespace recordtest;

TEST(RecordWindowLanguage, TheWindowSpeaksEnglishAndNamesItsUndoInEnglish) {
  MessageBoxRecorder boxes;
  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  CClanbookDlg window;
  window.Create();
  LoadRecords(window, kClan);
  window.show();
  MemberNode* kong = FindMember(window, u"孔丘");
  GenealogyDocument& document = window.document();
  document.ChangeRecordText(kong, RecordField::kCourtesyName, QStringLiteral("仲尼"));
  EXPECT_EQ(window.MenuAction(ID_UNDO)->text(),
            QStringLiteral("Undo Change courtesy name of 孔丘"));
  document.ChangeRecordText(kong, RecordField::kRank, QStringLiteral("次子"));
  document.ChangeRecordText(kong, RecordField::kOffice, QStringLiteral("司寇"));
  document.ChangeRecordText(kong, RecordField::kBurialPlace, QStringLiteral("曲阜孔林"));
  Spouse wife;
  wife.title = SpouseTitle::kJiPei;
  wife.surname = u"颜";
  wife.givenName = u"徵在";
  document.AddSpouse(FindMember(window, u"孔纥"), wife);
  document.ChangeMother(kong, 0);
  SelectMember(window, kong);
  window.findChild<QAction*>(QStringLiteral("memberRecordCommand"))->trigger();
  auto* record = window.findChild<MemberRecordWindow*>();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->windowTitle(), QStringLiteral("Member Record - 孔丘"));
  auto* tabs = record->findChild<QTabWidget*>(QStringLiteral("recordTabs"));
  QStringList names;
  for (int i = 0; i < tabs->count(); ++i) names << tabs->tabText(i);
  EXPECT_EQ(names, (QStringList{QStringLiteral("Basic"), QStringLiteral("Wives"),
                                QStringLiteral("Life"), QStringLiteral("Burial"),
                                QStringLiteral("Photos"), QStringLiteral("Sources")}));
  EXPECT_EQ(record->findChild<QComboBox*>(ObjectNameOf(RecordField::kMother))->currentText(),
            QStringLiteral("Second wife née 颜 徵在"));
  Shoot(record, QStringLiteral("en/member-window.png"));
  OnNextDialog<BookDataDialog>([](BookDataDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Book Data"));
    Shoot(d, QStringLiteral("en/book-data.png"));
    ClickButton(d, "idc_2");
  });
  window.findChild<QAction*>(QStringLiteral("bookDataCommand"))->trigger();
  EXPECT_EQ(PendingModalHandlers(), 0);
}

}  // namespace
