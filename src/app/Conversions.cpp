// The command-line conversions. Each one is an entry in the list below and a
// function that does its work with the layers under the window (formats,
// document, charts), never with a widget, since it runs without a display:
//
//   int ExportGedcom(const QStringList& values, const QCommandLineParser& parser) {...}
//   ...
//   list.push_back({QStringLiteral("export-gedcom"), {QStringLiteral("IN"), QStringLiteral("OUT")},
//                   QCoreApplication::translate("Conversions", "..."),
//                   {QCommandLineOption(QStringLiteral("gedcom"), ..., QStringLiteral("VERSION"))},
//                   ExportGedcom});
//
// The option then appears in --help, a run that names it gets a
// QCoreApplication instead of a QApplication, and its exit status is the
// function's result. None is offered yet: the formats they need are not part
// of the program so far.
#include "app/CommandLine.h"

std::vector<Conversion> Conversions() {
  std::vector<Conversion> list;
  return list;
}
