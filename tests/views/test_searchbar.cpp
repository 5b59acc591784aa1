// The search box above the tree, driven through real key presses: what it
// announces while typing, stepping through the matches, and where it stands
// after the tree was edited under it.
#include "../model/ModelTestSupport.h"
#include "GuiTestSupport.h"
#include "search/MemberSearch.h"
#include "views/MemberSearchBar.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using modeltest::Add;

struct Key {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// 孔丘 - 孔鲤 (孔伋, 孔白), 孔忠 (孔武), 李四; pre-order in that order.
class SearchBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    BuildBook();
    auto* layout = new QVBoxLayout(&m_window);
    layout->addWidget(&m_bar);
    layout->addWidget(m_other = new QLineEdit(&m_window));
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    for (auto* edit : m_bar.findChildren<QLineEdit*>()) {
      if (edit->accessibleName() == QStringLiteral("查找成员")) m_box = edit;
    }
    ASSERT_NE(m_box, nullptr);
    m_count = m_bar.findChild<QLabel*>();
    ASSERT_NE(m_count, nullptr);
  }
  void BuildBook() {
    Add(m_book, u"", u"孔丘", 1900)->address = u"山东曲阜";
    Add(m_book, u"孔丘", u"孔鲤", 1920);
    Add(m_book, u"孔鲤", u"孔伋", 1940);
    Add(m_book, u"孔鲤", u"孔白", 1945);
    Add(m_book, u"孔丘", u"孔忠", 1925);
    Add(m_book, u"孔忠", u"孔武", 1950)->address = u"山东曲阜";
    Add(m_book, u"孔丘", u"李四", 1930);
    m_index.Rebuild();
  }

  MemberNode* Member(std::u16string_view name) {
    MemberNode* found = m_book.FindByName(name);
    EXPECT_NE(found, nullptr);
    return found;
  }
  // Edits as the document will make them, telling the index and the bar.
  void Rename(std::u16string_view name, std::u16string newName) {
    MemberNode changed = *Member(name);
    changed.name = std::move(newName);
    m_book.UpdateMemberData(Member(name), changed);
    m_index.MemberChanged(Member(changed.name));
  }
  void Remove(std::u16string_view name) {
    MemberNode* member = Member(name);
    m_index.MemberAboutToBeRemoved(member);
    m_bar.memberAboutToBeRemoved(member);
    m_book.DeleteMember(member);
  }
  void Type(const QString& text) {
    m_box->setFocus();
    TypeKeys(m_box, text);
  }
  void Press(Key key) { QTest::keyClick(m_box, key.key, key.modifiers); }
  QString Announced(const QSignalSpy& spy) {
    if (spy.isEmpty()) {
      ADD_FAILURE() << "nothing announced";
      return QStringLiteral("(nothing)");
    }
    const auto* member = spy.last().at(0).value<MemberNode*>();
    return member ? QString::fromStdU16String(member->name) : QString();
  }
  static QString Found(int count, int position) {
    return QStringLiteral("找到 %1 人，这是第 %2 人").arg(count).arg(position);
  }

  COperationClanbook m_book;
  MemberSearchIndex m_index{m_book};
  QWidget m_window;
  MemberSearchBar m_bar{m_index};
  QLineEdit* m_other = nullptr;
  QLineEdit* m_box = nullptr;
  QLabel* m_count = nullptr;
};

TEST_F(SearchBarTest, EachKeystrokeAnnouncesTheFirstMatchAndTheCount) {
  EXPECT_EQ(m_box->placeholderText(), QStringLiteral("查找成员"));
  EXPECT_EQ(m_count->text(), QString());
  struct Row {
    QString typed;  // typed on after the row before
    QString first;
    QString count;
  } rows[] = {
      {"k", "孔丘", Found(6, 1)},
      {"ong", "孔丘", Found(6, 1)},
      {"w", "孔武", Found(1, 1)},
      {"x", "", "没有找到"},
  };
  QSignalSpy spy(&m_bar, &MemberSearchBar::currentMatchChanged);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed.toStdString());
    const qsizetype before = spy.size();
    Type(row.typed);
    EXPECT_EQ(spy.size(), before + row.typed.size());
    EXPECT_EQ(Announced(spy), row.first);
    EXPECT_EQ(m_count->text(), row.count);
    EXPECT_EQ(m_bar.matchCount(), m_index.Find(m_box->text().toStdU16String()).size());
  }
  // Backspace to a shorter query, then an address and a name in characters.
  QTest::keyClick(m_box, Qt::Key_Backspace);
  EXPECT_EQ(Announced(spy), QStringLiteral("孔武"));
  m_box->clear();
  Type(QStringLiteral("曲阜"));
  EXPECT_EQ(Announced(spy), QStringLiteral("孔丘"));
  EXPECT_EQ(m_count->text(), Found(2, 1));
  m_box->clear();
  Type(QStringLiteral("李"));
  EXPECT_EQ(Announced(spy), QStringLiteral("李四"));
  EXPECT_EQ(m_count->text(), Found(1, 1));
}

TEST_F(SearchBarTest, EnterAndF3StepThroughTheMatchesAndWrap) {
  Type("kong");
  QSignalSpy spy(&m_bar, &MemberSearchBar::currentMatchChanged);
  const struct Row {
    Key key;
    const char* member;
    int position;
  } rows[] = {
      {{Qt::Key_Return}, "孔鲤", 2},
      {{Qt::Key_F3}, "孔伋", 3},
      {{Qt::Key_Enter, Qt::KeypadModifier}, "孔白", 4},
      {{Qt::Key_Return, Qt::ShiftModifier}, "孔伋", 3},
      {{Qt::Key_F3, Qt::ShiftModifier}, "孔鲤", 2},
      {{Qt::Key_F3, Qt::ShiftModifier}, "孔丘", 1},
      {{Qt::Key_Return, Qt::ShiftModifier}, "孔武", 6},
      {{Qt::Key_F3}, "孔丘", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.member);
    Press(row.key);
    ASSERT_EQ(spy.size(), &row - rows + 1);
    EXPECT_EQ(Announced(spy), QString::fromUtf8(row.member));
    EXPECT_EQ(m_bar.currentMatch(), Member(QString::fromUtf8(row.member).toStdU16String()));
    EXPECT_EQ(m_count->text(), Found(6, row.position));
  }
  // With nothing found the keys announce nothing.
  Type("zzz");
  const qsizetype before = spy.size();
  Press({Qt::Key_Return});
  Press({Qt::Key_F3, Qt::ShiftModifier});
  EXPECT_EQ(spy.size(), before);
  EXPECT_EQ(m_count->text(), QStringLiteral("没有找到"));
}

TEST_F(SearchBarTest, TheBoxKeepsItsKeysFromTheWindowsShortcutsAndEscClears) {
  // The window will carry shortcuts on the same keys; in the box the box wins.
  int triggered = 0;
  std::vector<QAction*> actions;
  for (const QKeySequence& keys :
       {QKeySequence(Qt::Key_F3), QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Return)}) {
    auto* action = new QAction(&m_window);
    action->setShortcut(keys);
    QObject::connect(action, &QAction::triggered, [&triggered] { ++triggered; });
    m_window.addAction(action);
  }
  Type("kong");
  QSignalSpy spy(&m_bar, &MemberSearchBar::currentMatchChanged);
  Press({Qt::Key_F3});
  Press({Qt::Key_Return});
  EXPECT_EQ(Announced(spy), QStringLiteral("孔伋"));
  Press({Qt::Key_Escape});
  EXPECT_EQ(triggered, 0);
  EXPECT_EQ(m_box->text(), QString());
  EXPECT_EQ(m_count->text(), QString());
  EXPECT_EQ(spy.last().at(0).value<MemberNode*>(), nullptr);
  EXPECT_EQ(m_bar.currentMatch(), nullptr);
  // An empty box has no use for Esc: the window gets it.
  Press({Qt::Key_Escape});
  EXPECT_EQ(triggered, 1);
}

TEST_F(SearchBarTest, FocusSearchPutsTheCursorInTheBoxWithItsTextSelected) {
  Type("kong");
  m_other->setFocus();
  ASSERT_FALSE(m_box->hasFocus());
  m_bar.focusSearch();
  EXPECT_TRUE(m_box->hasFocus());
  EXPECT_EQ(m_box->selectedText(), QStringLiteral("kong"));
  TypeKeys(m_box, QStringLiteral("李"));
  EXPECT_EQ(m_box->text(), QStringLiteral("李"));
  EXPECT_EQ(m_bar.currentMatch(), Member(u"李四"));
}

// After an edit the bar stays on the member it showed when he still matches,
// else it stands on the nearest match after him without announcing it, and
// the next Enter shows that one rather than passing over it.
TEST_F(SearchBarTest, RefreshKeepsThePositionThroughEdits) {
  const struct Row {
    const char* name;
    const char* at;  // the member shown before the edit
    std::function<void()> edit;
    int count;
    const char* standsOn;
    bool shown;
    const char* afterEnter;
    bool refreshByKey;  // nobody called refresh(): the next key does it
  } rows[] = {
      {"rename of another member", "孔忠", [this] { Rename(u"孔白", u"李白"); }, 5, "孔忠", true,
       "孔武", false},
      {"rename of the shown member", "孔忠", [this] { Rename(u"孔忠", u"李忠"); }, 5, "孔武", false,
       "孔武", false},
      {"his father removed", "孔武", [this] { Remove(u"孔忠"); }, 4, "孔丘", false, "孔丘", false},
      {"his family removed, a match follows", "孔伋", [this] { Remove(u"孔鲤"); }, 3, "孔忠", false,
       "孔忠", true},
      {"another family removed", "孔武", [this] { Remove(u"孔鲤"); }, 3, "孔武", true, "孔丘",
       true},
      {"a child added before him", "孔忠",
       [this] { m_index.MemberAdded(Add(m_book, u"孔鲤", u"孔新", 1950)); }, 7, "孔忠", true,
       "孔武", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    m_box->clear();
    m_book.Clear();
    BuildBook();
    Type("kong");
    while (m_bar.currentMatch() != Member(QString::fromUtf8(row.at).toStdU16String()))
      Press({Qt::Key_F3});
    QSignalSpy spy(&m_bar, &MemberSearchBar::currentMatchChanged);
    row.edit();
    if (row.refreshByKey) {
      Press({Qt::Key_Return});
    } else {
      m_bar.refresh();
      EXPECT_TRUE(spy.isEmpty());
      EXPECT_EQ(m_bar.currentMatch(), Member(QString::fromUtf8(row.standsOn).toStdU16String()));
      const auto matches = m_index.Find(u"kong");
      const auto position =
          std::find(matches.begin(), matches.end(), m_bar.currentMatch()) - matches.begin() + 1;
      EXPECT_EQ(m_count->text(), row.shown ? Found(row.count, static_cast<int>(position))
                                           : QStringLiteral("找到 %1 人").arg(row.count));
      Press({Qt::Key_Return});
    }
    EXPECT_EQ(m_bar.matchCount(), static_cast<std::size_t>(row.count));
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(Announced(spy), QString::fromUtf8(row.afterEnter));
  }
}

TEST_F(SearchBarTest, ResetAnnouncesTheFirstMatchOfTheNewBook) {
  Type("kong");
  Press({Qt::Key_F3});
  QSignalSpy spy(&m_bar, &MemberSearchBar::currentMatchChanged);
  COperationClanbook other;
  Add(other, u"", u"李一", 1900);
  Add(other, u"李一", u"孔二", 1920);
  m_book.Swap(other);
  m_index.Rebuild();
  m_bar.reset();
  ASSERT_EQ(spy.size(), 1);
  EXPECT_EQ(Announced(spy), QStringLiteral("孔二"));
  EXPECT_EQ(m_count->text(), Found(1, 1));
}

}  // namespace
