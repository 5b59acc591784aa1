// The file comforts: the recent files, the keys of the file commands and a
// file dropped on the window.
#include "FileCommandsFixture.h"

namespace {

// Opens the 最近打开的文件 menu as a click would and gives its file items.
QStringList RecentItems(CClanbookDlg& window, QMenu** menu = nullptr) {
  auto* recent = window.findChild<QMenu*>(QStringLiteral("recentFilesMenu"));
  EXPECT_NE(recent, nullptr);
  if (!recent) return {};
  EXPECT_EQ(recent->title(), QStringLiteral("最近打开的文件"));
  emit recent->aboutToShow();
  if (menu) *menu = recent;
  QStringList items;
  for (QAction* action : recent->actions()) {
    if (action->data().isValid()) items << action->data().toString();
  }
  return items;
}

TEST_F(FileCommandsTest, RecentFilesKeepTheLastEightAndOpenThem) {
  EXPECT_TRUE(RecentItems(*window).isEmpty());
  QStringList expected;
  for (int i = 0; i < 10; ++i) {
    const QString name = QStringLiteral("book%1.ftf").arg(i);
    Write(name, kSample);
    Open(Path(name));
    expected.prepend(QFileInfo(Path(name)).absoluteFilePath());
  }
  Open(Path("book7.ftf"));  // again: moves to the top, not listed twice
  expected.removeAll(QFileInfo(Path("book7.ftf")).absoluteFilePath());
  expected.prepend(QFileInfo(Path("book7.ftf")).absoluteFilePath());
  expected.resize(8);
  AnswerName(false, Path("saved.ftf"));  // a file saved under a new name is one too
  Trigger(*window, ID_SAVE_AS);
  expected.prepend(QFileInfo(Path("saved.ftf")).absoluteFilePath());
  expected.resize(8);
  EXPECT_EQ(RecentItems(*window), expected);

  // Remembered by the next run's window.
  NewWindow();
  QMenu* menu = nullptr;
  ASSERT_EQ(RecentItems(*window, &menu), expected);
  window->document().SetModified(false);
  QAction* fourth = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->objectName() == QStringLiteral("recentFile4")) fourth = action;
  }
  ASSERT_NE(fourth, nullptr);
  EXPECT_EQ(fourth->data().toString(), expected[3]);
  Write(QFileInfo(expected[3]).fileName(), "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  fourth->trigger();
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
  EXPECT_EQ(RecentItems(*window).first(), expected[3]);

  // A file that is gone is said so and leaves the list; nothing else changes.
  const QString gone = RecentItems(*window, &menu).last();
  ASSERT_TRUE(QFile::remove(gone));
  boxes.Clear();
  menu->actions().last()->trigger();
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("文件%1已不存在，已从最近打开的文件中删除!")
                                     .arg(QDir::toNativeSeparators(gone))});
  EXPECT_FALSE(RecentItems(*window).contains(gone));
  EXPECT_EQ(RecentItems(*window).size(), 7);
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
}

TEST_F(FileCommandsTest, RecentFileOffersToSaveFirst) {
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  Open(Path("other.ftf"));
  Open(Path("sample.ftf"));
  window->document().SetModified(true);
  QMenu* menu = nullptr;
  RecentItems(*window, &menu);
  boxes.Clear();
  boxes.QueueAnswer(true);
  CancelName(false);  // Yes, then no name: stays
  menu->actions().at(1)->trigger();
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_EQ(TreeLabels(), kSampleNames);
  boxes.QueueAnswer(false);
  menu->actions().at(1)->trigger();
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
}

TEST_F(FileCommandsTest, FileCommandsHaveTheirShortcuts) {
  const std::pair<int, QKeySequence> cases[] = {
      {ID_NEW, QKeySequence(QStringLiteral("Ctrl+N"))},
      {ID_OPEN, QKeySequence(QStringLiteral("Ctrl+O"))},
      {ID_SAVE, QKeySequence(QStringLiteral("Ctrl+S"))},
      {ID_SAVE_AS, QKeySequence(QStringLiteral("Ctrl+Shift+S"))},
  };
  for (const auto& [id, key] : cases) {
    SCOPED_TRACE(id);
    ASSERT_NE(window->MenuAction(id), nullptr);
    EXPECT_EQ(window->MenuAction(id)->shortcut(), key);
    EXPECT_TRUE(window->actions().contains(window->MenuAction(id)));
  }
  // The keys work wherever the focus is.
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->treeView()->setFocus();
  CancelName(true);
  QTest::keyClick(window->treeView(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(PendingModalHandlers(), 0);
}

// A .ftf dragged from the file manager opens, after the save prompt; other
// files are not taken.
TEST_F(FileCommandsTest, DroppedFileOpensAfterTheSavePrompt) {
  Write("other.ftf", "Oak 1950 1 1 0 end 1 -1\r\n" + kEndLine);
  Write("notes.txt", "hello");
  Open(Path("sample.ftf"));
  auto drag = [this](const QString& name, QEvent::Type type) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path(name))});
    const QPoint centre = window->rect().center();
    if (type == QEvent::DragEnter) {
      QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(window.get(), &enter);
      return enter.isAccepted();
    }
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    QApplication::processEvents();
    return drop.isAccepted();
  };
  EXPECT_TRUE(window->acceptDrops());
  EXPECT_FALSE(drag("notes.txt", QEvent::DragEnter));
  EXPECT_FALSE(drag("notes.txt", QEvent::Drop));
  EXPECT_EQ(TreeLabels(), kSampleNames);
  EXPECT_TRUE(drag("other.ftf", QEvent::DragEnter));

  window->document().SetModified(true);
  boxes.Clear();
  boxes.QueueAnswer(false);
  EXPECT_TRUE(drag("other.ftf", QEvent::Drop));
  EXPECT_EQ(Texts(), QStringList{kModifiedQuestion});
  EXPECT_EQ(TreeLabels(), QStringList{"Oak"});
  EXPECT_EQ(window->document().FileName(), Path("other.ftf"));
}

}  // namespace
