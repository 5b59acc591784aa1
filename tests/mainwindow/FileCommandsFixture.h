// The fixture of the file commands' tests on real files (test_file_*.cpp):
// a window, a folder of its own, the user's settings emptied, and the
// answers to the file-name dialog.
#pragma once

#include "MainWindowTestSupport.h"
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "mainwindow/LongWork.h"
#include "mainwindow/RecentFiles.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <stdexcept>
#include <thread>

inline const QByteArray kSample =
    "Alder 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "Birch 1930 10 1 1 Riverside 1 Alder\r\n"
    "Cedar 1960 12 24 0 Hilltop 1 Birch\r\n"
    "end 1999 12 2 1 end 1 end";
inline const QStringList kSampleNames = {"Alder", "Birch", "Cedar"};

inline const QString kModifiedQuestion = QStringLiteral("该家谱已被修改，你想保存吗?");
inline const QString kNewQuestion = QStringLiteral("在建立新家谱前,将关闭现有的家谱文件,您确定吗?");
inline const QString kCannotSave = QStringLiteral("文件无法保存!");
inline const QString kEmptyName = QStringLiteral("文件名不能为空!");
inline const QString kRootQuestion = QStringLiteral("确实要置此结点为根结点吗？");
inline const QString kNothingToSave = QStringLiteral("家谱是空的，没有可保存的内容!");

// Answers the next file-name dialog; checks that it asks in the expected mode.
inline void AnswerName(bool open, const QString& name) {
  OnNextDialog<CFileOpenAndSaveDlg>([open, name](CFileOpenAndSaveDlg* dialog) {
    EXPECT_EQ(dialog->m_isOpen, open);
    TypeInto(dialog, "fileNameEdit", name);
    ClickButton(dialog, "idc_1");
  });
}

inline void CancelName(bool open) {
  OnNextDialog<CFileOpenAndSaveDlg>([open](CFileOpenAndSaveDlg* dialog) {
    EXPECT_EQ(dialog->m_isOpen, open);
    ClickButton(dialog, "idc_2");
  });
}

// While it lives, any modal dialog that comes up is a failure; it is closed so
// the test goes on.
class NoDialogExpected {
public:
  NoDialogExpected() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      // The wait for long work holds the input while a slow machine saves;
      // it asks nothing.
      if (modal && modal->objectName() != QLatin1String("fileProgress")) {
        m_seen << QString::fromLatin1(modal->metaObject()->className());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
      }
    });
    m_timer.start(10);
  }
  ~NoDialogExpected() { EXPECT_TRUE(m_seen.isEmpty()) << m_seen.join(", ").toStdString(); }

private:
  QTimer m_timer;
  QStringList m_seen;
};

// Writes to files fail beyond `bytes` while it lives (EFBIG instead of a signal).
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = m_old;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }

private:
  rlimit m_old{};
  void (*m_oldHandler)(int) = nullptr;
};

class FileCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    // The settings of the tests, never the user's.
    ASSERT_TRUE(clanbook_settings::Open()->fileName().startsWith(QDir::tempPath()));
    clanbook_settings::Open()->clear();
    SetTodayForTesting(LocalDate{2024, 6, 15});
    NewWindow();
    Write("sample.ftf", kSample);
  }
  void TearDown() override {
    SetLongWorkDelayForTesting(-1);
    SetLongWorkHookForTesting({});
    SetTodayForTesting(std::nullopt);
    EXPECT_EQ(PendingModalHandlers(), 0);
    EXPECT_EQ(boxes.unansweredQuestions, 0);
  }

  void NewWindow() {
    window = std::make_unique<CClanbookDlg>();
    window->Create();
  }
  QString Path(const QString& name) const { return dir.filePath(name); }
  void Write(const QString& name, const QByteArray& bytes) { WriteFile(Path(name), bytes); }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  QStringList Texts() const {
    QStringList texts;
    for (const RecordedBox& box : boxes.Boxes()) texts << box.text;
    return texts;
  }
  // The tree view's labels in pre-order, without indent.
  QStringList TreeLabels() const { return TreeLinesOf(window->treeView(), 0); }
  bool MemberButtonsEnabled() const { return window->button(ID_ADD_CHILD)->isEnabled(); }
  bool Has(const char16_t* name) const { return FindMember(*window, name) != nullptr; }
  void Open(const QString& path) {
    AnswerName(true, path);
    Trigger(*window, ID_OPEN);
  }
  // Runs New on a window with nothing to save and enters a root named `root`.
  void NewWithRoot(const QString& root) {
    OnNextDialog<CAddInfoDlg>([root](CAddInfoDlg* dialog) {
      TypeInto(dialog, "nameEdit", root);
      ClickButton(dialog, "idc_1");
      if (dialog->isVisible()) {  // refused: the test must not hang on it
        ADD_FAILURE() << "the root was refused";
        ClickButton(dialog, "idc_2");
      }
    });
    boxes.QueueAnswer(true);  // the add dialog's question: make it the root
    Trigger(*window, ID_NEW);
  }

  MessageBoxRecorder boxes;
  QTemporaryDir dir;
  std::unique_ptr<CClanbookDlg> window;
};
