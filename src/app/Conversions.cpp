// The command-line conversions. Each one is an entry in the list at the end
// and a function that does its work with the layers under the window
// (formats, merge, charts), never with a widget, since it runs without a
// display. The option then appears in --help, a run that names it gets a
// QCoreApplication (a QGuiApplication on the offscreen platform when it sets
// needsGui) instead of a QApplication, and its exit status is the function's
// result.
//
// Mistakes in a conversion's own options end with status 2, as any other
// mistaken command line does, before a file is read (for the GEDCOM
// conversions 2 also means that OUT could not be written). The branch and GEDCOM
// libraries are standard C++ and report in English on the stream they are
// given; their text is passed on as it is, to standard output when they
// succeed and to standard error when they fail.
#include "app/CommandLine.h"
#include "app/DateCommand.h"
#include "book/BookExport.h"
#include "book/BookOptions.h"
#include "calendar/Kinship.h"
#include "charts/ChartExport.h"
#include "dialogs/KinshipText.h"
#include "document/AtomicSaveFile.h"
#include "document/GenealogyDocument.h"
#include "formats/CbkFormat.h"
#include "formats/FormatRegistry.h"
#include "formats/FtfFormat.h"
#include "formats/PoemFile.h"
#include "formats/gedcom/Gedcom.h"
#include "mainwindow/PoemKeeper.h"
#include "merge/BranchExport.h"
#include "merge/BranchMerge.h"
#include "model/COperationClanbook.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

namespace {

// Exit statuses of the chart export (the branch and GEDCOM libraries return
// their own). 2 is that of any command line the program cannot follow.
enum ChartStatus : int {
  kChartDone = 0,
  kChartCannotRead = 1,
  kCommandLineMistaken = 2,
  kChartNoSuchMember = 3,
  kChartCannotWrite = 4,
};

void Write(std::FILE* stream, const QByteArray& bytes) {
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

// Says why a conversion stopped, the way the command line reports its own
// mistakes, and passes the status on.
int Fail(int status, const QString& message) {
  Write(stderr,
        QStringLiteral("%1: %2\n").arg(QCoreApplication::applicationName(), message).toLocal8Bit());
  return status;
}

// What a library wrote (UTF-8) goes where the outcome says it belongs.
int PassOn(int status, const std::ostringstream& messages) {
  const std::string text = messages.str();
  Write(status == 0 ? stdout : stderr, QByteArray::fromStdString(text));
  return status;
}

QString LoadFailure(const QString& fileName, int result) {
  QString reason;
  switch (result) {
    case kFileBadDate:
      reason = QCoreApplication::translate("Conversions", "家谱日期数据不合实际或无法读取");
      break;
    case kFileBadRelation:
      reason = QCoreApplication::translate("Conversions", "家谱成员关系有误");
      break;
    case kFileNoMemory:
      reason = QCoreApplication::translate("Conversions", "内存不足");
      break;
    case kFileNoRoot:
      reason = QCoreApplication::translate("Conversions", "家谱没有根结点");
      break;
    default:
      reason = QCoreApplication::translate("Conversions", "文件无法打开");
      break;
  }
  return QCoreApplication::translate("Conversions", "无法读取 %1：%2。").arg(fileName, reason);
}

// A whole number from `least` to `most` given to --`option`; a message when
// the value is something else.
bool ReadNumber(const QCommandLineParser& parser, const QString& option, int least, int most,
                int* number, QString* message) {
  const QString text = parser.value(option);
  bool ok = false;
  *number = text.toInt(&ok);
  if (ok && *number >= least && *number <= most) return true;
  *message =
      QCoreApplication::translate("Conversions", "--%1 须为 %2 到 %3 之间的整数，而不是“%4”。")
          .arg(option)
          .arg(least)
          .arg(most)
          .arg(text);
  return false;
}

// The options are checked before the book is read: a slip in them should not
// cost the load of a large book.
int ExportChartFile(const QStringList& values, const QCommandLineParser& parser) {
  const QString& in = values[0];
  const QString& out = values[1];
  ChartOptions options;
  // --layout is shared with --export-book, whose default differs.
  const QString layout = parser.isSet(QStringLiteral("layout"))
                             ? parser.value(QStringLiteral("layout"))
                             : QStringLiteral("pagoda");
  if (!ParseChartLayout(layout, &options.layout))
    return Fail(kCommandLineMistaken,
                QCoreApplication::translate(
                    "Conversions", "未知的布局“%1”：只能是 pagoda（吊线图）或 ouyang（欧式）。")
                    .arg(layout));
  const QString page = parser.value(QStringLiteral("page")).toUpper();
  if (page == QLatin1String("A4"))
    options.pageSize = QPageSize::A4;
  else if (page == QLatin1String("A3"))
    options.pageSize = QPageSize::A3;
  else
    return Fail(kCommandLineMistaken,
                QCoreApplication::translate("Conversions", "未知的纸张“%1”：只能是 A4 或 A3。")
                    .arg(parser.value(QStringLiteral("page"))));
  QString message;
  // Far more generations than any book has; 0 charts them all.
  if (!ReadNumber(parser, QStringLiteral("generations"), 0, 100000, &options.generations,
                  &message) ||
      !ReadNumber(parser, QStringLiteral("dpi"), 1, 2400, &options.pngDpi, &message))
    return Fail(kCommandLineMistaken, message);
  const QString suffix = QFileInfo(out).suffix().toLower();
  if (suffix != QLatin1String("pdf") && suffix != QLatin1String("svg") &&
      suffix != QLatin1String("png"))
    return Fail(kCommandLineMistaken,
                QCoreApplication::translate("Conversions",
                                            "%1：图的格式由后缀定，只能是 .pdf、.svg 或 .png。")
                    .arg(out));

  // Not even a chart of a book may take the book's place.
  if (OutputIsInput(out, {in}))
    return Fail(kChartCannotWrite, QCoreApplication::translate("Conversions", "无法写入 %1：%2。")
                                       .arg(out, WriteProblemReason(FileProblem::kTargetIsInput)));
  COperationClanbook book;
  if (const int result = formats::LoadFtf(FilePathOf(in), book).code; result != kFileOk)
    return Fail(kChartCannotRead, LoadFailure(in, result));
  if (parser.isSet(QStringLiteral("from"))) {
    const QString name = parser.value(QStringLiteral("from"));
    options.from = book.FindByName(name.toStdU16String());
    if (!options.from)
      return Fail(
          kChartNoSuchMember,
          QCoreApplication::translate("Conversions", "%1 中没有名叫“%2”的成员。").arg(in, name));
  }
  QString error;
  if (!ExportChart(book, options, out, &error)) return Fail(kChartCannotWrite, error);
  return kChartDone;
}

int ExportBranch(const QStringList& values, const QCommandLineParser& /*parser*/) {
  std::ostringstream messages;
  // The name as its bytes were given, so that one that is no UTF-8 is refused
  // as such instead of being looked for with U+FFFD in it.
  const int status = ExportBranchFile(FilePathOf(values[0]), FilePathOf(values[1]).string(),
                                      FilePathOf(values[2]), messages);
  return PassOn(status, messages);
}

int MergeBranch(const QStringList& values, const QCommandLineParser& parser) {
  const QString prefer = parser.value(QStringLiteral("prefer"));
  MergeSide side = MergeSide::Book;
  if (prefer == QLatin1String("branch"))
    side = MergeSide::Branch;
  else if (prefer != QLatin1String("book"))
    return Fail(kCommandLineMistaken,
                QCoreApplication::translate(
                    "Conversions", "--prefer 只能是 book（家谱）或 branch（分支），而不是“%1”。")
                    .arg(prefer));
  std::ostringstream report;
  const int status = MergeBranchFiles(FilePathOf(values[0]), FilePathOf(values[1]),
                                      FilePathOf(values[2]), side, report);
  return PassOn(status, report);
}

int ExportGedcom(const QStringList& values, const QCommandLineParser& parser) {
  const QString version = parser.value(QStringLiteral("gedcom"));
  gedcom::GedcomVersion chosen = gedcom::GedcomVersion::v7_0;
  if (version == QLatin1String("5.5.1"))
    chosen = gedcom::GedcomVersion::v5_5_1;
  else if (version != QLatin1String("7.0") && version != QLatin1String("7"))
    return Fail(
        kCommandLineMistaken,
        QCoreApplication::translate("Conversions", "不支持 GEDCOM 版本“%1”：只能是 7.0 或 5.5.1。")
            .arg(version));
  std::ostringstream messages;
  return PassOn(
      gedcom::ExportGedcomFile(FilePathOf(values[0]), FilePathOf(values[1]), chosen, messages),
      messages);
}

int ImportGedcom(const QStringList& values, const QCommandLineParser& parser) {
  std::optional<std::string> root;
  if (parser.isSet(QStringLiteral("root")))
    root = parser.value(QStringLiteral("root")).toStdString();
  std::ostringstream report;
  return PassOn(
      gedcom::ImportGedcomFile(FilePathOf(values[0]), FilePathOf(values[1]), root, report), report);
}

QString ReadFailure(const QString& fileName, const FileStatus& status);

// Prints what A calls B and what B calls A, a line each, in the language of
// the interface; --first-wife and --second-wife ask about A's or B's wife, as
// the 称谓 window's boxes do. A name nobody in the book bears ends as the
// chart's --from does, and so does the wife of a daughter of the book.
int PrintKinship(const QStringList& values, const QCommandLineParser& parser) {
  const QString& in = values[0];
  COperationClanbook book;
  // Any book: a .cbk knows which members are daughters.
  if (const FileStatus read = formats::ReadBookFile(FilePathOf(in), book); !read.Ok())
    return Fail(kChartCannotRead, ReadFailure(in, read));
  const QString wifeOptions[2] = {QStringLiteral("first-wife"), QStringLiteral("second-wife")};
  KinPerson people[2];
  QString shown[2];
  for (int i = 0; i < 2; ++i) {
    const QString& name = values[i + 1];
    MemberNode* found = book.FindByName(name.toStdU16String());
    if (!found)
      return Fail(
          kChartNoSuchMember,
          QCoreApplication::translate("Conversions", "%1 中没有名叫“%2”的成员。").arg(in, name));
    people[i] = PersonOf(found);
    if (parser.isSet(wifeOptions[i])) {
      if (people[i].sex == KinSex::Female)
        return Fail(
            kChartNoSuchMember,
            QCoreApplication::translate("Conversions", "%1 中的“%2”是女儿，没有妻子，不能用 --%3。")
                .arg(in, name, wifeOptions[i]));
      people[i].wife = true;
    }
    shown[i] = KinshipPersonName(name, people[i]);
  }
  Write(stdout,
        (KinshipLine(shown[0], shown[1], FindKinship(people[0], people[1])) + QLatin1Char('\n') +
         KinshipLine(shown[1], shown[0], FindKinship(people[1], people[0])) + QLatin1Char('\n'))
            .toLocal8Bit());
  return kChartDone;
}

// Why a book could not be read: the book file's own reasons when it has
// them, else the reasons every read gives.
QString ReadFailure(const QString& fileName, const FileStatus& status) {
  const QString reason = GenealogyDocument::BookProblemText(status.problem);
  if (reason.isEmpty()) return LoadFailure(fileName, status.code);
  return QCoreApplication::translate("Conversions", "无法读取 %1：%2。").arg(fileName, reason);
}

// The values of an option of --export-book: each word the command line takes
// and what it stands for.
template <class Value>
struct Choice {
  const char* word;
  Value value;
};

template <class Value, std::size_t N>
bool ReadChoice(const QCommandLineParser& parser, const QString& option, const QString& byDefault,
                const Choice<Value> (&choices)[N], Value* value, QString* message) {
  const QString given = parser.isSet(option) ? parser.value(option) : byDefault;
  QStringList words;
  for (const Choice<Value>& choice : choices) {
    if (given.compare(QLatin1String(choice.word), Qt::CaseInsensitive) == 0) {
      *value = choice.value;
      return true;
    }
    words << QLatin1String(choice.word);
  }
  *message = QCoreApplication::translate("Conversions", "--%1 只能是 %2，而不是“%3”。")
                 .arg(option, words.join(QStringLiteral("、")), given);
  return false;
}

// Typesets the whole book of IN into the PDF OUT. The options and the names
// are checked before the book is read; the PDF appears only when whole.
int ExportBookFile(const QStringList& values, const QCommandLineParser& parser) {
  const QString& in = values[0];
  const QString& out = values[1];
  book::BookOptions options;
  static const Choice<book::TableLayout> layouts[] = {{"ouyang", book::TableLayout::kOuyang},
                                                      {"su", book::TableLayout::kSu},
                                                      {"pagoda", book::TableLayout::kPagoda}};
  static const Choice<book::Paper> papers[] = {
      {"A4", book::Paper::kA4}, {"A3", book::Paper::kA3}, {"A3-folded", book::Paper::kA3Folded}};
  static const Choice<book::DateStyle> dates[] = {{"lunar", book::DateStyle::kLunar},
                                                  {"gregorian", book::DateStyle::kGregorian},
                                                  {"both", book::DateStyle::kBoth}};
  QString message;
  if (!ReadChoice(parser, QStringLiteral("layout"), QStringLiteral("ouyang"), layouts,
                  &options.layout, &message) ||
      !ReadChoice(parser, QStringLiteral("paper"), QStringLiteral("A4"), papers, &options.paper,
                  &message) ||
      !ReadChoice(parser, QStringLiteral("dates"), QStringLiteral("lunar"), dates, &options.dates,
                  &message))
    return Fail(kCommandLineMistaken, message);
  options.horizontal = parser.isSet(QStringLiteral("horizontal"));
  options.privateLiving = parser.isSet(QStringLiteral("private-living"));
  if (QFileInfo(out).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
    return Fail(
        kCommandLineMistaken,
        QCoreApplication::translate("Conversions", "%1：谱书只能写成 .pdf 文件。").arg(out));
  if (OutputIsInput(out, {in}))
    return Fail(kChartCannotWrite, QCoreApplication::translate("Conversions", "无法写入 %1：%2。")
                                       .arg(out, WriteProblemReason(FileProblem::kTargetIsInput)));
  COperationClanbook book;
  if (const FileStatus read = formats::ReadBookFile(FilePathOf(in), book); !read.Ok())
    return Fail(kChartCannotRead, ReadFailure(in, read));
  if (parser.isSet(QStringLiteral("from"))) {
    options.fromName = parser.value(QStringLiteral("from"));
    options.from = book.FindByName(options.fromName.toStdU16String());
    if (!options.from)
      return Fail(kChartNoSuchMember,
                  QCoreApplication::translate("Conversions", "%1 中没有名叫“%2”的成员。")
                      .arg(in, options.fromName));
  }
  QString error;
  if (!book::WriteBookPdf(book, options, out, &error)) return Fail(kChartCannotWrite, error);
  return kChartDone;
}

// Converts between the formats the registry reads and writes (.ftf, .cbk,
// .ged, .gdz), each chosen by the end of its file's name.
int ConvertBook(const QStringList& values, const QCommandLineParser& /*parser*/) {
  const QString& in = values[0];
  const QString& out = values[1];
  // Whatever the names, what is read is never written over.
  if (OutputIsInput(out, {in}))
    return Fail(kChartCannotWrite, QCoreApplication::translate("Conversions", "无法写入 %1：%2。")
                                       .arg(out, WriteProblemReason(FileProblem::kTargetIsInput)));
  for (const QString& name : {in, out}) {
    const formats::FormatEntry* entry = formats::FormatOfFile(FilePathOf(name).string());
    if (!entry || !entry->reads || !entry->writes)
      return Fail(kCommandLineMistaken,
                  QCoreApplication::translate("Conversions",
                                              "%1：格式由后缀定，只能是 .ftf、.cbk、.ged 或 .gdz。")
                      .arg(name));
  }
  COperationClanbook book;
  PoemFileResult poem;
  if (const FileStatus read = formats::ReadBookFile(FilePathOf(in), book, {}, &poem); !read.Ok())
    return Fail(kChartCannotRead, ReadFailure(in, read));
  // The book goes on without a 字辈 its file does not give; said, not dropped silently.
  if (poem.status == PoemFileStatus::kMalformed || poem.status == PoemFileStatus::kCannotRead)
    Fail(kChartDone, PoemKeeper::UnreadText(in, poem));
  PoemSaveResult poemSaved = PoemSaveResult::kSaved;
  const FileStatus written =
      formats::WriteBookFile(FilePathOf(out), book, FilePathOf(in), &poemSaved);
  if (written.Ok() && poemSaved != PoemSaveResult::kSaved)
    return Fail(
        kChartCannotWrite,
        QCoreApplication::translate("Conversions", "%1 已写入，但字辈无法保存到它旁边的 %2。")
            .arg(out, QString::fromStdString(PoemFileFor(FilePathOf(out)).string())));
  if (!written.Ok()) {
    QString reason = GenealogyDocument::BookProblemText(written.problem);
    if (reason.isEmpty()) reason = WriteProblemReason(written.problem);
    return Fail(kChartCannotWrite,
                QCoreApplication::translate("Conversions", "无法写入 %1：%2。").arg(out, reason));
  }
  return kChartDone;
}

// The options --export-chart and --export-book share; one text says both.
QCommandLineOption FromOption() {
  return QCommandLineOption(
      QStringLiteral("from"),
      QCoreApplication::translate("Conversions",
                                  "世系图（谱书）从名叫 NAME 的成员起；默认从始祖起。"),
      QStringLiteral("NAME"));
}

QCommandLineOption LayoutOption() {
  return QCommandLineOption(
      QStringLiteral("layout"),
      QCoreApplication::translate(
          "Conversions",
          "世系图的样式：pagoda（吊线图）、ouyang（欧式）或 su（苏式，只用于谱书）；"
          "世系图默认 pagoda，谱书默认 ouyang。"),
      QStringLiteral("pagoda|ouyang|su"));
}

}  // namespace

std::vector<Conversion> Conversions() {
  const QString in = QStringLiteral("IN");
  const QString out = QStringLiteral("OUT");
  std::vector<Conversion> list;

  Conversion chart{
      QStringLiteral("export-chart"),
      {in, out},
      QCoreApplication::translate(
          "Conversions", "把家谱 IN（.ftf）画成世系图，写入 OUT：格式由后缀定（.pdf、.svg、.png）"),
      {FromOption(),
       QCommandLineOption(
           QStringLiteral("generations"),
           QCoreApplication::translate("Conversions", "画几世（含起始成员）；0 为全部；默认 %1。")
               .arg(ChartOptions().generations),
           QStringLiteral("N"), QString::number(ChartOptions().generations)),
       LayoutOption(),
       QCommandLineOption(
           QStringLiteral("page"),
           QCoreApplication::translate("Conversions", "PDF 的纸张：A4（默认）或 A3。"),
           QStringLiteral("A4|A3"), QStringLiteral("A4")),
       QCommandLineOption(
           QStringLiteral("dpi"),
           QCoreApplication::translate("Conversions", "PNG 每英寸的像素数，1 到 2400；默认 %1。")
               .arg(ChartOptions().pngDpi),
           QStringLiteral("N"), QString::number(ChartOptions().pngDpi))},
      ExportChartFile};
  chart.needsGui = true;
  list.push_back(chart);

  Conversion printed{
      QStringLiteral("export-book"),
      {in, QStringLiteral("OUT.pdf")},
      QCoreApplication::translate(
          "Conversions",
          "把家谱 IN 排成谱书，写入 PDF 文件 OUT.pdf：封面、谱序、目录、世系图、"
          "世系录和人名索引，默认竖排"),
      {FromOption(), LayoutOption(),
       QCommandLineOption(QStringLiteral("horizontal"),
                          QCoreApplication::translate("Conversions", "谱书横排；默认竖排。")),
       QCommandLineOption(
           QStringLiteral("paper"),
           QCoreApplication::translate(
               "Conversions", "谱书的纸张：A4（默认）、A3 或 A3-folded（A3 对折的筒子页）。"),
           QStringLiteral("A4|A3|A3-folded")),
       QCommandLineOption(
           QStringLiteral("dates"),
           QCoreApplication::translate(
               "Conversions",
               "谱书的日期：lunar（农历，默认）、gregorian（公历）或 both（两者）。"),
           QStringLiteral("lunar|gregorian|both")),
       QCommandLineOption(QStringLiteral("private-living"),
                          QCoreApplication::translate("Conversions", "隐去在世者的生卒与地点。"))},
      ExportBookFile};
  // The book is typeset in its face, measured as Qt measures.
  printed.needsGui = true;
  list.push_back(printed);

  list.push_back(
      {QStringLiteral("export-branch"),
       {in, QStringLiteral("NAME"), out},
       QCoreApplication::translate(
           "Conversions", "把家谱 IN 中名叫 NAME 的成员及其全部后代存为新家谱 OUT，NAME 为始祖"),
       {},
       ExportBranch});

  list.push_back(
      {QStringLiteral("merge-branch"),
       {QStringLiteral("BOOK"), QStringLiteral("BRANCH"), out},
       QCoreApplication::translate("Conversions",
                                   "把分支 BRANCH 并回家谱 BOOK，结果存为 OUT（可与 BOOK "
                                   "相同）；无法并入的成员逐行列出"),
       {QCommandLineOption(
           QStringLiteral("prefer"),
           QCoreApplication::translate(
               "Conversions",
               "两边都有而资料不同的成员取哪一边的资料：book（家谱，默认）或 branch（分支）。"),
           QStringLiteral("book|branch"), QStringLiteral("book"))},
       MergeBranch});

  list.push_back(
      {QStringLiteral("export-gedcom"),
       {in, out},
       QCoreApplication::translate("Conversions",
                                   "把家谱 IN（.ftf）存为 GEDCOM 文件 OUT，每位成员一条 INDI"),
       {QCommandLineOption(
           QStringLiteral("gedcom"),
           QCoreApplication::translate("Conversions", "写出的 GEDCOM 版本：7.0（默认）或 5.5.1。"),
           QStringLiteral("7.0|5.5.1"), QStringLiteral("7.0"))},
       ExportGedcom});

  list.push_back(
      {QStringLiteral("import-gedcom"),
       {in, out},
       QCoreApplication::translate(
           "Conversions",
           "把 GEDCOM 文件 IN 中一位始祖及其男系后代存为家谱 OUT（.ftf），改动逐条报告"),
       {QCommandLineOption(
           QStringLiteral("root"),
           QCoreApplication::translate(
               "Conversions", "从记录 XREF（如 @I1@）的人物起；默认取后代最多的无父母者。"),
           QStringLiteral("XREF"))},
       ImportGedcom});

  list.push_back(
      {QStringLiteral("convert"),
       {in, out},
       QCoreApplication::translate(
           "Conversions",
           "把家谱 IN 转存为 OUT，格式由后缀定（.ftf、.cbk、.ged、.gdz），照片随 .cbk 和 "
           ".gdz 转存"),
       {},
       ConvertBook});

  list.push_back(
      {QStringLiteral("date"),
       {QStringLiteral("DATE")},
       QCoreApplication::translate(
           "Conversions",
           "把日期 DATE 写成公历和农历：公历（1890-3-5）、年号纪年（光绪十六年"
           "二月十五）或干支纪年（庚寅年二月十五）均可"),
       {QCommandLineOption(QStringLiteral("years"),
                           QCoreApplication::translate(
                               "Conversions", "干支纪年只在公历 FROM 至 TO 年间找；默认不限。"),
                           QStringLiteral("FROM-TO"))},
       PrintChineseDate});
  list.push_back({QStringLiteral("kinship"),
                  {QStringLiteral("BOOK"), QStringLiteral("A"), QStringLiteral("B")},
                  QCoreApplication::translate(
                      "Conversions", "列出家谱 BOOK 中成员 A 与 B 互相的称谓：“A 称 B 为 …”两行"),
                  {QCommandLineOption(QStringLiteral("first-wife"),
                                      QCoreApplication::translate(
                                          "Conversions", "A 指成员 A 之妻（女儿没有妻子）。")),
                   QCommandLineOption(QStringLiteral("second-wife"),
                                      QCoreApplication::translate(
                                          "Conversions", "B 指成员 B 之妻（女儿没有妻子）。"))},
                  PrintKinship});
  return list;
}
