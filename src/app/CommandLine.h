// What the command line asks for: the window (with a file to open), a
// conversion run without a window, or a text to print (help, version, error).
#pragma once

#include "app/Translation.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// A conversion run from the command line without a display. One option names
// it (`--export-gedcom`); the positional arguments after it are its values
// (IN OUT), and its own options (`--gedcom 7.0`) are read from the parser.
struct Conversion {
  QString option;          // without dashes: "export-gedcom"
  QStringList valueNames;  // the positional values it takes, for help: {"IN", "OUT"}
  QString description;     // one line for --help, already translated
  QList<QCommandLineOption> options;
  // Does the work; the result is the process's exit status. Messages go to
  // standard error; nothing may need a display.
  std::function<int(const QStringList& values, const QCommandLineParser& parser)> run;
  // Lays out text (a chart): it then gets a QGuiApplication, on the offscreen
  // platform unless QT_QPA_PLATFORM names another, since a console has no display.
  bool needsGui = false;
};

// Every conversion the program offers, in --help order. One entry each, made
// in app/Conversions.cpp; the function that does the work sits beside it.
std::vector<Conversion> Conversions();

struct StartRequest {
  enum class Kind { Window, Conversion, Print, Error };
  Kind kind = Kind::Window;
  // --lang when given, else nothing: the desktop decides.
  std::optional<UiLanguage> language;
  QString fileToOpen;                    // Window
  std::optional<Conversion> conversion;  // Conversion
  QStringList values;                    // Conversion: its positional values
  QString text;                          // Print: to standard output; Error: to standard error
};

// Reads the command line (program name first) against `conversions`. Never
// exits and never prints, so that it can run before any application object
// (to choose between a window and a console run) and in tests.
class CommandLine {
public:
  explicit CommandLine(std::vector<Conversion> conversions);

  StartRequest Parse(const QStringList& arguments);
  // Parses again after Parse to serve a conversion's options.
  const QCommandLineParser& parser() const { return m_parser; }

private:
  // Why an option set on the command line does not go with the command
  // chosen (`chosen`, or the window when none), or nothing.
  QString OptionOutOfPlace(const Conversion* chosen) const;

  std::vector<Conversion> m_conversions;
  QCommandLineParser m_parser;
};
