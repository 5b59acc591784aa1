#include "dialogs/CImportReportDlg.h"

#include "document/AtomicSaveFile.h"
#include "document/GenealogyDocument.h"
#include "formats/io/AtomicFile.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <sstream>

namespace {

// A model rather than table items: a careless file can need a change for
// every one of its people.
class ChangeModel : public QAbstractTableModel {
public:
  enum Column { kXref, kField, kOriginal, kStored, kColumns };

  ChangeModel(const std::vector<gedcom::GedcomChange>& changes, QObject* parent)
      : QAbstractTableModel(parent), m_changes(changes) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_changes.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : kColumns;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const gedcom::GedcomChange& c = m_changes[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
      case kXref:
        return CImportReportDlg::ValueText(c.xref);
      case kField:
        return CImportReportDlg::FieldText(c.field);
      case kOriginal:
        return c.original.empty() ? CImportReportDlg::tr("（无）")
                                  : CImportReportDlg::ValueText(c.original);
      case kStored:
        return CImportReportDlg::ValueText(c.stored);
      default:
        return {};
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
      case kXref:
        return CImportReportDlg::tr("编号");
      case kField:
        return CImportReportDlg::tr("项目");
      case kOriginal:
        return CImportReportDlg::tr("文件中的值");
      case kStored:
        return CImportReportDlg::tr("导入后的值");
      default:
        return {};
    }
  }

private:
  const std::vector<gedcom::GedcomChange>& m_changes;
};

QPushButton* Button(const QString& text, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAccessibleName(text);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

QString CImportReportDlg::DroppedText(const gedcom::GedcomDropped& dropped) {
  const QString where = tr("%1 第 %2 行：%3")
                            .arg(ValueText(dropped.xref))
                            .arg(dropped.line)
                            .arg(QString::fromStdString(dropped.fact));
  return dropped.value.empty() ? where : tr("%1 “%2”").arg(where, ValueText(dropped.value));
}

QString CImportReportDlg::NoteText(const gedcom::GedcomNote& note) {
  using Kind = gedcom::GedcomNote::Kind;
  switch (note.kind) {
    case Kind::kNotALine:
      return tr("第 %1 行：不是GEDCOM行，已跳过").arg(note.line);
    case Kind::kUnclosedXref:
      return tr("第 %1 行：XREF缺少结尾的 @，已跳过").arg(note.line);
    case Kind::kNoTag:
      return tr("第 %1 行：缺少标签，已跳过").arg(note.line);
    case Kind::kNoTrailer:
      return tr("第 %1 行：文件没有结尾记录（0 TRLR）").arg(note.line);
    case Kind::kSecondPerson:
      return tr("第 %1 行：第二个 INDI %2，其链接都归第一个")
          .arg(note.line)
          .arg(ValueText(note.xref));
    case Kind::kMoreLeftOut:
      return tr("另有 %1 条未列出").arg(note.line);
  }
  return {};
}

QString CImportReportDlg::ValueText(const std::string& value) {
  const gedcom::ShownValue shown = gedcom::ShowValue(value);
  QString text = QString::fromStdString(shown.text);
  if (shown.shortened) text += tr("…（共 %1 个字符）").arg(shown.length);
  return text;
}

QString CImportReportDlg::FieldText(const std::string& field) {
  if (field == "name") return tr("姓名");
  if (field == "birth") return tr("出生日期");
  if (field == "death") return tr("去世日期");
  if (field == "address") return tr("地址");
  return QString::fromStdString(field);
}

CImportReportDlg::CImportReportDlg(const gedcom::GedcomImportReport& report, QWidget* parent)
    : CDialog(parent), m_report(report) {
  setWindowTitle(tr("导入GEDCOM：报告"));
  setObjectName(QStringLiteral("importReport"));

  const QString version = report.version.empty() ? tr("（未注明版本）") : ValueText(report.version);
  QString summary =
      tr("GEDCOM %1，%2 编码：文件中共 %3 人，从始祖 %4 导入 %5 人。")
          .arg(version, QString::fromStdString(report.encoding), QString::number(report.people),
               ValueText(report.rootXref), QString::number(report.members));
  summary += QLatin1Char('\n');
  summary += report.changes.empty()
                 ? tr("所有数据都符合家谱的要求，无需修改。")
                 : tr("为符合家谱的要求，修改了 %1 处数据:").arg(report.changes.size());
  m_summary = new QLabel(summary, this);
  m_summary->setObjectName(QStringLiteral("summary"));
  m_summary->setWordWrap(true);
  m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_summary);

  if (!report.changes.empty()) {
    m_changes = new QTableView(this);
    m_changes->setObjectName(QStringLiteral("changes"));
    m_changes->setAccessibleName(tr("修改"));
    m_changes->setModel(new ChangeModel(report.changes, this));
    m_changes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_changes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_changes->setWordWrap(false);
    m_changes->verticalHeader()->hide();
    m_changes->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_changes->verticalHeader()->setDefaultSectionSize(m_changes->fontMetrics().height() + 8);
    const int em = m_changes->fontMetrics().horizontalAdvance(QChar(0x56FD));
    QHeaderView* header = m_changes->horizontalHeader();
    header->resizeSection(ChangeModel::kXref, 7 * em);
    header->resizeSection(ChangeModel::kField, 5 * em);
    header->resizeSection(ChangeModel::kOriginal, 14 * em);
    header->setStretchLastSection(true);
    layout->addWidget(m_changes, 3);
  }
  // The skipped lines and the facts without a place: a labelled list each.
  const auto addList = [&](const QString& label, const char* name, const QStringList& lines) {
    auto* title = new QLabel(label, this);
    auto* list = new QPlainTextEdit(this);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(label);
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    title->setBuddy(list);
    list->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(title);
    layout->addWidget(list, 1);
    return list;
  };
  if (!report.notes.empty()) {
    QStringList lines;
    for (const gedcom::GedcomNote& note : report.notes) lines << NoteText(note);
    m_notes = addList(tr("读取时跳过的内容:"), "notes", lines);
  }
  if (!report.dropped.empty()) {
    QStringList lines;
    for (const gedcom::GedcomDropped& dropped : report.dropped) lines << DroppedText(dropped);
    m_dropped = addList(tr("家谱中无处存放的内容（未导入）:"), "dropped", lines);
  }

  QPushButton* save = Button(tr("保存报告…"), QStringLiteral("saveReport"), this);
  QPushButton* close = Button(tr("关闭"), ControlName(IDOK), this);
  close->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(save);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(save, &QPushButton::clicked, this, &CImportReportDlg::OnSaveReport);
  connect(close, &QPushButton::clicked, this, &CImportReportDlg::accept);

  const int em = fontMetrics().horizontalAdvance(QChar(0x56FD));
  if (report.changes.empty() && report.notes.empty() && report.dropped.empty())
    resize(36 * em, sizeHint().height());
  else
    resize(46 * em, 28 * em);
}

CImportReportDlg::~CImportReportDlg() = default;

void CImportReportDlg::OnSaveReport() {
  FileDialogRequest request;
  request.open = false;
  request.filter = tr("文本文件 (*.txt);;All Files(*)");
  const QString fileName = RunFileDialog(this, request);
  if (fileName.isEmpty()) return;
  if (OutputIsInput(fileName, {m_sourceFile})) {
    ShowNotice(tr("%1 是导入的GEDCOM文件，报告不能保存到它里面!").arg(fileName));
    return;
  }
  std::ostringstream text;
  m_report.Write(text);
  AtomicFileWriter writer;
  if (!writer.Open(FilePathOf(fileName)) || !writer.Write(text.str()) || !writer.Commit())
    ShowNotice(tr("报告无法保存到%1：%2!").arg(fileName, WriteProblemReason(writer.Problem())));
}
