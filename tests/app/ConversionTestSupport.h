// The command line run as a user runs it: the built program in a folder of
// small books, with no display; its exit status, messages and files read back.
#pragma once

#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace conversion_test {
// 张父 has one son, 张子; his younger brother 张叔 has none.
inline constexpr char kBook[] =
    "张祖 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "张父 1930 10 1 1 北京 1 张祖\r\n"
    "张子 1960 12 24 0 上海 1 张父\r\n"
    "张叔 1935 1 1 1 end 1 张祖\r\n"
    "end 1999 12 2 1 end 1 end";
// 张父's branch as a relative sends it back: 张子 has moved and has a son.
inline constexpr char kBranch[] =
    "张父 1930 10 1 1 北京 1 -1\r\n"
    "张子 1960 12 24 0 广州 1 张父\r\n"
    "张孙 1990 3 4 0 广州 1 张子\r\n"
    "end 1999 12 2 1 end 1 end";
// A branch whose root the book does not know.
inline constexpr char kStranger[] =
    "李甲 1930 1 1 1 end 1 -1\r\n"
    "end 1999 12 2 1 end 1 end";

// 王甲's family of three, and 陈丁 on his own.
inline constexpr char kGedcom[] =
    "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n"
    "0 @A@ INDI\r\n1 NAME /王/甲\r\n1 BIRT\r\n2 DATE 3 MAR 1900\r\n1 FAMS @F@\r\n"
    "0 @B@ INDI\r\n1 NAME /王/乙\r\n1 BIRT\r\n2 DATE 1 JUN 1930\r\n1 FAMC @F@\r\n"
    "0 @C@ INDI\r\n1 NAME /王/丙\r\n1 BIRT\r\n2 DATE 2 JUL 1932\r\n1 FAMC @F@\r\n"
    "0 @D@ INDI\r\n1 NAME /陈/丁\r\n1 BIRT\r\n2 DATE 5 MAY 1950\r\n"
    "0 @F@ FAM\r\n1 HUSB @A@\r\n1 CHIL @B@\r\n1 CHIL @C@\r\n"
    "0 TRLR\r\n";

struct Outcome {
  int status = -1;
  QString out;
  QString err;
};

// A book the program wrote, loaded back.
struct Book {
  explicit Book(const QString& path) {
    EXPECT_EQ(formats::LoadFtf(QFile::encodeName(path).toStdString(), book).code, kFileOk)
        << path.toStdString();
    if (book.Root()) members += book.CountMembers();
  }
  MemberNode* Find(const char* name) const {
    MemberNode* found = book.FindByName(QString::fromUtf8(name).toStdU16String());
    return found;
  }
  COperationClanbook book;
  int members = 0;
};

class ConversionTest : public ::testing::Test {
public:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Write("book.ftf", kBook);
    Write("branch.ftf", kBranch);
    Write("stranger.ftf", kStranger);
    Write("family.ged", kGedcom);
    Write("broken.gdz", "PK\x03\x04 an archive cut short");
  }

  void Write(const char* name, const char* text) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QString Path(const QString& name) const { return dir.filePath(name); }

  // The program beside the tests in the build tree; no display, and no
  // platform chosen for it: a conversion that draws must see to that itself.
  Outcome Clanbook(const QStringList& arguments) const {
    const QString program = QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral("../src/app/clanbook"));
    Outcome run;
    if (!QFileInfo(program).isExecutable()) {
      ADD_FAILURE() << program.toStdString() << " is not built";
      return run;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
      ADD_FAILURE() << "clanbook did not finish: " << process.errorString().toStdString();
      return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
  }

  QTemporaryDir dir;
};

using Check = std::function<void(ConversionTest& test, const Outcome& run)>;

}  // namespace conversion_test
