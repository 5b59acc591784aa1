#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

namespace {
// The options QApplication takes for itself (-platform offscreen, -style
// fusion, ...). They are read before the application object removes them, to
// choose between a window and a console, so they must not count as mistakes.
void AddQtsOwnOptions(QCommandLineParser& parser) {
  const char* const withValue[] = {"platform",
                                   "platformpluginpath",
                                   "platformtheme",
                                   "plugin",
                                   "qwindowgeometry",
                                   "qwindowtitle",
                                   "qwindowicon",
                                   "display",
                                   "geometry",
                                   "title",
                                   "name",
                                   "style",
                                   "stylesheet",
                                   "session",
                                   "visual"};
  const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb"};
  for (const char* name : withValue) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : flags) {
    QCommandLineOption option(QString::fromLatin1(name));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
}
}  // namespace

CommandLine::CommandLine(std::vector<Conversion> conversions)
    : m_conversions(std::move(conversions)) {
  m_parser.setApplicationDescription(
      QCoreApplication::translate("CommandLine", "Morvane家谱制作软件：编写和查阅家谱。"));
  // Qt's own options are words after a single dash, not letters run together.
  m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  AddQtsOwnOptions(m_parser);
  m_parser.addHelpOption();
  m_parser.addVersionOption();
  m_parser.addOption(QCommandLineOption(
      QStringLiteral("lang"),
      QCoreApplication::translate("CommandLine",
                                  "界面语言：zh（简体中文）或 en（英文）；默认随桌面的语言。"),
      QStringLiteral("zh|en")));
  // An option two conversions share (--from, --layout) is added once, with
  // the text of the first; its text speaks for both.
  QSet<QString> added;
  for (const Conversion& conversion : m_conversions) {
    m_parser.addOption(QCommandLineOption(
        conversion.option,
        QCoreApplication::translate("CommandLine", "%1（参数：%2）")
            .arg(conversion.description, conversion.valueNames.join(QLatin1Char(' ')))));
    for (const QCommandLineOption& option : conversion.options)
      if (!added.contains(option.names().constFirst())) {
        added.insert(option.names().constFirst());
        m_parser.addOption(option);
      }
  }
  m_parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QCoreApplication::translate("CommandLine", "启动时打开的家谱文件（.ftf 或 .cbk）。"),
      QStringLiteral("[FILE]"));
}

// Each conversion's own options are the table of which option goes with which
// command: an option set for a command it does not belong to would be ignored,
// and the user would not learn that it did nothing.
QString CommandLine::OptionOutOfPlace(const Conversion* chosen) const {
  for (const Conversion& conversion : m_conversions) {
    if (&conversion == chosen) continue;
    for (const QCommandLineOption& option : conversion.options) {
      const QString name = option.names().constFirst();
      if (!m_parser.isSet(name)) continue;
      // An option two commands share is in its place with either.
      if (chosen && std::any_of(chosen->options.begin(), chosen->options.end(),
                                [&name](const QCommandLineOption& own) {
                                  return own.names().contains(name);
                                }))
        continue;
      if (chosen)
        return QCoreApplication::translate("CommandLine",
                                           "选项 --%1 只用于 --%2，不能与 --%3 同用。")
            .arg(name, conversion.option, chosen->option);
      return QCoreApplication::translate("CommandLine", "选项 --%1 只用于 --%2；打开窗口时不能用。")
          .arg(name, conversion.option);
    }
  }
  return {};
}

StartRequest CommandLine::Parse(const QStringList& arguments) {
  StartRequest request;
  auto fail = [&request](const QString& message) {
    request.kind = StartRequest::Kind::Error;
    request.text = message;
    return request;
  };
  if (!m_parser.parse(arguments)) return fail(m_parser.errorText());

  if (m_parser.isSet(QStringLiteral("lang"))) {
    const QString name = m_parser.value(QStringLiteral("lang"));
    request.language = LanguageFromName(name);
    if (!request.language)
      return fail(
          QCoreApplication::translate("CommandLine", "未知的界面语言“%1”：只能是 zh 或 en。")
              .arg(name));
  }
  if (m_parser.isSet(QStringLiteral("help"))) {
    request.kind = StartRequest::Kind::Print;
    request.text = m_parser.helpText();
    return request;
  }
  if (m_parser.isSet(QStringLiteral("version"))) {
    request.kind = StartRequest::Kind::Print;
    request.text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                 QCoreApplication::applicationVersion());
    return request;
  }

  const QStringList positional = m_parser.positionalArguments();
  const Conversion* chosen = nullptr;
  for (const Conversion& conversion : m_conversions) {
    if (!m_parser.isSet(conversion.option)) continue;
    if (chosen)
      return fail(QCoreApplication::translate("CommandLine", "一次只能做一种转换：--%1 或 --%2。")
                      .arg(chosen->option, conversion.option));
    chosen = &conversion;
  }
  if (const QString mistake = OptionOutOfPlace(chosen); !mistake.isEmpty()) return fail(mistake);
  if (chosen) {
    if (positional.size() != chosen->valueNames.size())
      return fail(QCoreApplication::translate("CommandLine", "--%1 需要参数：%2。")
                      .arg(chosen->option, chosen->valueNames.join(QLatin1Char(' '))));
    request.kind = StartRequest::Kind::Conversion;
    request.conversion = *chosen;
    request.values = positional;
    return request;
  }
  if (positional.size() > 1)
    return fail(QCoreApplication::translate("CommandLine", "只能打开一个家谱文件，却给了 %1 个。")
                    .arg(positional.size()));
  request.kind = StartRequest::Kind::Window;
  if (!positional.isEmpty()) request.fileToOpen = positional.first();
  return request;
}
