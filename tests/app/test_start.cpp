// Start-up before the window: the command line, the language the program
// speaks, and what the process is protected from.
#include "app/CClanbookApp.h"
#include "app/CommandLine.h"
#include "app/Translation.h"
#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool HasChinese(const QString& text) {
  for (QChar c : text)
    if (c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF) return true;
  return false;
}

TEST(LanguageTest, TheDesktopsLocaleChoosesChineseOrEnglish) {
  struct Row {
    const char* locale;
    UiLanguage expected;
  };
  const Row rows[] = {
      {"zh_CN", UiLanguage::Chinese}, {"zh_TW", UiLanguage::Chinese},
      {"zh_HK", UiLanguage::Chinese}, {"zh_SG", UiLanguage::Chinese},
      {"en_US", UiLanguage::English}, {"en_GB", UiLanguage::English},
      {"de_DE", UiLanguage::English}, {"ja_JP", UiLanguage::English},
      {"C", UiLanguage::Chinese},     {"POSIX", UiLanguage::Chinese},
      {"", UiLanguage::Chinese},      {"xx_YY", UiLanguage::Chinese},
  };
  for (const Row& row : rows)
    EXPECT_EQ(LanguageForLocale(QLocale(QString::fromLatin1(row.locale))), row.expected)
        << row.locale;
}

TEST(LanguageTest, QtsOwnDialogsSpeakTheProgramsLanguage) {
  const auto cancelText = [] {
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    return buttons.button(QDialogButtonBox::Cancel)->text();
  };
  {
    const Translation chinese(UiLanguage::Chinese);
    EXPECT_TRUE(chinese.qtCatalogueLoaded());
    EXPECT_TRUE(HasChinese(cancelText())) << cancelText().toStdString();
    EXPECT_TRUE(HasChinese(QCoreApplication::translate("QFileDialog", "Look in:")));
  }
  {
    const Translation english(UiLanguage::English);
    EXPECT_TRUE(english.programCatalogueLoaded());
    EXPECT_FALSE(HasChinese(cancelText())) << cancelText().toStdString();
  }
  // Gone with the translation: the program's texts are its own again.
  EXPECT_FALSE(HasChinese(cancelText()));
}

StartRequest Parse(const QStringList& tail) {
  CommandLine line(Conversions());
  return line.Parse(QStringList{QStringLiteral("clanbook")} + tail);
}

TEST(CommandLineTest, ChoosesTheWindowOrAText) {
  using Kind = StartRequest::Kind;
  struct Row {
    QStringList arguments;
    Kind kind;
    QString file;
    std::optional<UiLanguage> language;
  };
  const Row rows[] = {
      {{}, Kind::Window, {}, std::nullopt},
      {{QStringLiteral("家谱.ftf")}, Kind::Window, QStringLiteral("家谱.ftf"), std::nullopt},
      {{QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("a.ftf")},
       Kind::Window,
       QStringLiteral("a.ftf"),
       UiLanguage::English},
      {{QStringLiteral("--lang=zh")}, Kind::Window, {}, UiLanguage::Chinese},
      // Qt's own options, read before QApplication takes them away.
      {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("a.ftf")},
       Kind::Window,
       QStringLiteral("a.ftf"),
       std::nullopt},
      {{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("-reverse")},
       Kind::Window,
       {},
       std::nullopt},
      {{QStringLiteral("--help")}, Kind::Print, {}, std::nullopt},
      {{QStringLiteral("-h")}, Kind::Print, {}, std::nullopt},
      {{QStringLiteral("--version")}, Kind::Print, {}, std::nullopt},
      {{QStringLiteral("--lang"), QStringLiteral("fr")}, Kind::Error, {}, std::nullopt},
      {{QStringLiteral("--lang")}, Kind::Error, {}, std::nullopt},
      {{QStringLiteral("--no-such-option")}, Kind::Error, {}, std::nullopt},
      {{QStringLiteral("a.ftf"), QStringLiteral("b.ftf")}, Kind::Error, {}, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments.join(u' ').toStdString());
    const StartRequest request = Parse(row.arguments);
    EXPECT_EQ(request.kind, row.kind) << request.text.toStdString();
    EXPECT_EQ(request.fileToOpen, row.file);
    EXPECT_EQ(request.language, row.language);
    EXPECT_EQ(request.text.isEmpty(), row.kind == Kind::Window);
  }
}

TEST(CommandLineTest, HelpListsEveryOption) {
  const QString help = Parse({QStringLiteral("--help")}).text;
  for (const char* option : {"--help", "--version", "--lang", "FILE"})
    EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
  for (const Conversion& conversion : Conversions()) {
    EXPECT_TRUE(help.contains(QStringLiteral("--") + conversion.option))
        << conversion.option.toStdString();
    for (const QString& name : conversion.valueNames)
      EXPECT_TRUE(help.contains(name))
          << conversion.option.toStdString() << ' ' << name.toStdString();
    for (const QCommandLineOption& option : conversion.options)
      EXPECT_TRUE(help.contains(QStringLiteral("--") + option.names().constFirst()))
          << option.names().constFirst().toStdString();
  }
}

// An option is in its place only with the command whose table lists it; set
// anywhere else it would do nothing, so the command line is refused, naming
// the option and the command it was given with.
TEST(CommandLineTest, AnOptionOfAnotherCommandIsRefused) {
  using Kind = StartRequest::Kind;
  struct Row {
    const char* arguments;  // split at blanks
    Kind kind;
    QStringList named;  // what the message names
  };
  const Row rows[] = {
      {"--dpi 0 --export-gedcom a.ftf b.ged",
       Kind::Error,
       {"--dpi", "--export-chart", "--export-gedcom"}},
      {"--gedcom 5.5.1 --export-chart a.ftf b.svg",
       Kind::Error,
       {"--gedcom", "--export-gedcom", "--export-chart"}},
      {"--merge-branch a.ftf b.ftf c.ftf --root @I1@",
       Kind::Error,
       {"--root", "--import-gedcom", "--merge-branch"}},
      {"--import-gedcom a.ged b.ftf --prefer branch",
       Kind::Error,
       {"--prefer", "--merge-branch", "--import-gedcom"}},
      {"--export-branch a.ftf 甲 b.ftf --generations 3",
       Kind::Error,
       {"--generations", "--export-chart", "--export-branch"}},
      // Without a conversion the window would open and drop the option.
      {"--root @I1@ book.ftf", Kind::Error, {"--root", "--import-gedcom"}},
      {"--layout ouyang", Kind::Error, {"--layout", "--export-chart"}},
      {"--kinship a.ftf 甲 乙 --years 1800-1900", Kind::Error, {"--years", "--date", "--kinship"}},
      // Each in its place.
      {"--export-chart a.ftf b.png --dpi 96 --from 甲 --layout ouyang", Kind::Conversion, {}},
      {"--import-gedcom a.ged b.ftf --root @I1@", Kind::Conversion, {}},
      {"--lang en --export-gedcom a.ftf b.ged --gedcom 5.5.1", Kind::Conversion, {}},
      {"--merge-branch a.ftf b.ftf c.ftf --prefer branch", Kind::Conversion, {}},
      {"--date 庚寅年二月十五 --years 1800-1900", Kind::Conversion, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments);
    const StartRequest request = Parse(QString::fromUtf8(row.arguments).split(u' '));
    EXPECT_EQ(request.kind, row.kind) << request.text.toStdString();
    for (const QString& word : row.named)
      EXPECT_TRUE(request.text.contains(word)) << request.text.toStdString();
  }
}

// A conversion is one registration: the command line offers it, checks its
// values and hands them to its function.
TEST(CommandLineTest, ARegisteredConversionIsParsedAndRun) {
  QStringList seen;
  Conversion copy{QStringLiteral("copy-book"),
                  {QStringLiteral("IN"), QStringLiteral("OUT")},
                  QStringLiteral("copies a book"),
                  {QCommandLineOption(QStringLiteral("times"), QStringLiteral("how often"),
                                      QStringLiteral("N"), QStringLiteral("1"))},
                  [&seen](const QStringList& values, const QCommandLineParser& parser) {
                    seen = values;
                    seen << parser.value(QStringLiteral("times"));
                    return 7;
                  }};
  CommandLine line({copy});
  EXPECT_TRUE(line.Parse({QStringLiteral("clanbook"), QStringLiteral("--help")})
                  .text.contains(QStringLiteral("--copy-book")));
  const StartRequest request = line.Parse(
      {QStringLiteral("clanbook"), QStringLiteral("--copy-book"), QStringLiteral("a.ftf"),
       QStringLiteral("--times"), QStringLiteral("3"), QStringLiteral("b.ftf")});
  ASSERT_EQ(request.kind, StartRequest::Kind::Conversion) << request.text.toStdString();
  EXPECT_EQ(request.conversion->run(request.values, line.parser()), 7);
  EXPECT_EQ(seen,
            (QStringList{QStringLiteral("a.ftf"), QStringLiteral("b.ftf"), QStringLiteral("3")}));
  EXPECT_EQ(line.Parse({QStringLiteral("clanbook"), QStringLiteral("--copy-book"),
                        QStringLiteral("a.ftf")})
                .kind,
            StartRequest::Kind::Error);
}

// Under a file-size limit a save that outgrows it fails as a save; without the
// start-up preparation the kernel's SIGXFSZ would end the program. Run in a
// child process, since the limit and the signal belong to the process.
TEST(ProcessTest, ASaveBeyondTheFileSizeLimitFailsInsteadOfKillingTheProgram) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath(QStringLiteral("big.ftf")).toStdString();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PrepareProcess();
    COperationClanbook book;
    MemberNode* root = new MemberNode;
    root->name = u"祖";
    root->birthYear = 1900;
    root->birthMonth = 1;
    root->birthDay = 1;
    book.InsertMember(nullptr, root);
    for (int i = 0; i < 2000; ++i) {
      auto* member = new MemberNode;
      member->name = u"子" + QString::number(i).toStdU16String();
      member->birthYear = 1930;
      member->birthMonth = 1;
      member->birthDay = 1;
      book.InsertMember(root, member);
    }
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(formats::SaveFtf(path, book).code == kFileCannotWrite ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not report its failure";
}

}  // namespace
