#include "charts/MourningChart.h"

#include "charts/ChartExport.h"
#include "charts/ChartView.h"
#include "charts/ChartWindow.h"
#include "document/SpouseWords.h"
#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"
#include "platform/MessageBoxes.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr double kHeadingSize = 14;
constexpr double kTextSize = 12;
constexpr double kPad = 6;
constexpr double kTitleHeight = 44;
constexpr int kSide = 4;            // rows and columns on either side of 己身
constexpr double kWifeIndent = 12;  // a wife's line is set in under her husband

// The places' names, for the catalogue: the calendar layer names them in
// Chinese and the window asks the catalogue for them by that name.
[[maybe_unused]] constexpr const char* kTerms[] = {
    QT_TRANSLATE_NOOP("MourningText", "高祖父母"),
    QT_TRANSLATE_NOOP("MourningText", "曾祖父母"),
    QT_TRANSLATE_NOOP("MourningText", "族曾祖父母"),
    QT_TRANSLATE_NOOP("MourningText", "族曾祖姑"),
    QT_TRANSLATE_NOOP("MourningText", "祖父母"),
    QT_TRANSLATE_NOOP("MourningText", "伯叔祖父母"),
    QT_TRANSLATE_NOOP("MourningText", "族伯叔祖父母"),
    QT_TRANSLATE_NOOP("MourningText", "祖姑"),
    QT_TRANSLATE_NOOP("MourningText", "族祖姑"),
    QT_TRANSLATE_NOOP("MourningText", "父母"),
    QT_TRANSLATE_NOOP("MourningText", "伯叔父母"),
    QT_TRANSLATE_NOOP("MourningText", "堂伯叔父母"),
    QT_TRANSLATE_NOOP("MourningText", "族伯叔父母"),
    QT_TRANSLATE_NOOP("MourningText", "姑"),
    QT_TRANSLATE_NOOP("MourningText", "堂姑"),
    QT_TRANSLATE_NOOP("MourningText", "族姑"),
    QT_TRANSLATE_NOOP("MourningText", "己身"),
    QT_TRANSLATE_NOOP("MourningText", "兄弟"),
    QT_TRANSLATE_NOOP("MourningText", "堂兄弟"),
    QT_TRANSLATE_NOOP("MourningText", "再从兄弟"),
    QT_TRANSLATE_NOOP("MourningText", "族兄弟"),
    QT_TRANSLATE_NOOP("MourningText", "姊妹"),
    QT_TRANSLATE_NOOP("MourningText", "堂姊妹"),
    QT_TRANSLATE_NOOP("MourningText", "再从姊妹"),
    QT_TRANSLATE_NOOP("MourningText", "族姊妹"),
    QT_TRANSLATE_NOOP("MourningText", "子"),
    QT_TRANSLATE_NOOP("MourningText", "侄"),
    QT_TRANSLATE_NOOP("MourningText", "堂侄"),
    QT_TRANSLATE_NOOP("MourningText", "再从侄"),
    QT_TRANSLATE_NOOP("MourningText", "女"),
    QT_TRANSLATE_NOOP("MourningText", "侄女"),
    QT_TRANSLATE_NOOP("MourningText", "堂侄女"),
    QT_TRANSLATE_NOOP("MourningText", "再从侄女"),
    QT_TRANSLATE_NOOP("MourningText", "孙"),
    QT_TRANSLATE_NOOP("MourningText", "侄孙"),
    QT_TRANSLATE_NOOP("MourningText", "堂侄孙"),
    QT_TRANSLATE_NOOP("MourningText", "孙女"),
    QT_TRANSLATE_NOOP("MourningText", "侄孙女"),
    QT_TRANSLATE_NOOP("MourningText", "堂侄孙女"),
    QT_TRANSLATE_NOOP("MourningText", "曾孙"),
    QT_TRANSLATE_NOOP("MourningText", "曾侄孙"),
    QT_TRANSLATE_NOOP("MourningText", "曾孙女"),
    QT_TRANSLATE_NOOP("MourningText", "曾侄孙女"),
    QT_TRANSLATE_NOOP("MourningText", "玄孙"),
    QT_TRANSLATE_NOOP("MourningText", "玄孙女"),
};

int ColumnOf(const MourningPlace& p) {
  return kSide + (p.female ? -p.collateral : p.collateral);
}
int RowOf(const MourningPlace& p) {
  return kSide - p.generation;
}

// The name of the `nth` wife of `husband` as the chart shows it.
QString WifeName(const MemberNode& husband, std::size_t nth) {
  const std::vector<Spouse>& wives = husband.extra.Record().spouses;
  return spouse_text::Name(nth < wives.size() ? wives[nth] : Spouse());
}

double WrappedHeight(const QFontMetricsF& metrics, const QString& text, double width) {
  return metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
}

}  // namespace

QString MourningText::Grade(MourningGrade grade) {
  switch (grade) {
    case MourningGrade::ZhanCui:
      return tr("斩衰三年");
    case MourningGrade::ZiCuiStaff:
      return tr("齐衰杖期");
    case MourningGrade::ZiCuiYear:
      return tr("齐衰不杖期");
    case MourningGrade::ZiCuiFive:
      return tr("齐衰五月");
    case MourningGrade::ZiCuiThree:
      return tr("齐衰三月");
    case MourningGrade::DaGong:
      return tr("大功九月");
    case MourningGrade::XiaoGong:
      return tr("小功五月");
    case MourningGrade::SiMa:
      return tr("缌麻三月");
    case MourningGrade::None:
      break;
  }
  return tr("无服");
}

QString MourningText::Term(const MourningCell& cell) {
  return tr(QString::fromStdU16String(cell.term).toUtf8().constData());
}

QStringList MourningText::GradeLines(const MourningCell& cell) {
  QStringList lines;
  if (cell.place.female) {
    lines << tr("在室：%1").arg(Grade(cell.grade)) << tr("出嫁：%1").arg(Grade(cell.marriedOut));
    return lines;
  }
  const bool self = cell.place == MourningPlace{};
  if (!self) lines << Grade(cell.grade);
  // A wife the chart gives no grade is still listed: under her husband's
  // grade she would seem to share it.
  const bool wives = std::any_of(cell.people.begin(), cell.people.end(),
                                 [](const KinPerson& person) { return person.wife; });
  if (cell.wife != cell.grade && (cell.wife != MourningGrade::None || wives))
    lines << tr("妻：%1").arg(Grade(cell.wife));
  return lines;
}

MourningScene::MourningScene(const MemberNode& self, std::vector<MourningCell> cells)
    : m_self(&self), m_cells(std::move(cells)) {
  m_title = ChartText::Visible(MourningText::Title(ChartText::Name(self)));
  const QFontMetricsF heading(ChartFont(kHeadingSize, true));
  const QFontMetricsF text(ChartFont(kTextSize));
  const double inner = kBoxWidth - 2 * kPad;

  // One box a grid place; the lines of each are laid out from its top.
  std::array<std::array<int, 2 * kSide + 1>, 2 * kSide + 1> at;
  for (auto& row : at) row.fill(-1);
  for (const MourningCell& cell : m_cells) {
    int& index = at[RowOf(cell.place)][ColumnOf(cell.place)];
    if (index < 0) {
      index = static_cast<int>(m_boxes.size());
      m_boxes.emplace_back();
    }
    m_boxes[index].cells.push_back(&cell);
  }
  std::array<double, 2 * kSide + 1> rowHeight{};
  for (int row = 0; row <= 2 * kSide; ++row) {
    for (int column = 0; column <= 2 * kSide; ++column) {
      if (at[row][column] < 0) continue;
      Box& box = m_boxes[at[row][column]];
      double y = kPad;
      for (const MourningCell* cell : box.cells) {
        if (y > kPad) y += kPad;  // a rule between two places of one box
        const QString term = MourningText::Term(*cell);
        const double h = WrappedHeight(heading, term, inner);
        box.lines.push_back({term, QRectF(kPad, y, inner, h), true, false, nullptr, nullptr});
        y += h;
        for (const QString& line : MourningText::GradeLines(*cell)) {
          const double g = WrappedHeight(text, line, inner);
          box.lines.push_back({line, QRectF(kPad, y, inner, g), false, true, nullptr, nullptr});
          y += g;
        }
        // A man's wives follow him in the order of his record: the n-th
        // wife after him is his n-th spouse.
        const MemberNode* husband = nullptr;
        std::size_t nth = 0;
        for (const KinPerson& person : cell->people) {
          if (person.wife) {
            if (person.member != husband) {
              husband = person.member;
              nth = 0;
            }
            box.lines.push_back({ChartText::Visible(WifeName(*person.member, nth++)),
                                 QRectF(kPad + kWifeIndent, y, inner - kWifeIndent, text.height()),
                                 false, false, cell, nullptr});
          } else {
            husband = person.member;
            nth = 0;
            box.lines.push_back({ChartText::Visible(ChartText::Name(*person.member)),
                                 QRectF(kPad, y, inner, text.height()), false, false, cell,
                                 person.member});
          }
          y += text.height();
          box.empty = false;
        }
        box.self = box.self || cell->place == MourningPlace{};
      }
      box.rect = QRectF(0, 0, kBoxWidth, y + kPad);
      rowHeight[row] = std::max(rowHeight[row], box.rect.height());
    }
  }
  double top = kMargin + kTitleHeight;
  for (int row = 0; row <= 2 * kSide; ++row) {
    for (int column = 0; column <= 2 * kSide; ++column) {
      if (at[row][column] < 0) continue;
      Box& box = m_boxes[at[row][column]];
      const QPointF origin(kMargin + column * (kBoxWidth + kGap), top);
      box.rect = QRectF(origin, QSizeF(kBoxWidth, rowHeight[row]));
      for (Line& line : box.lines) line.rect.translate(origin);
    }
    top += rowHeight[row] + kGap;
  }
  const double width = (2 * kSide + 1) * (kBoxWidth + kGap) - kGap;
  m_bounds = QRectF(0, 0, width + 2 * kMargin, top - kGap + kMargin);
}

void MourningScene::Paint(QPainter& painter, const QRectF& exposed, double zoom) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(20, true));
  painter.drawText(QRectF(0, kMargin, m_bounds.width(), kTitleHeight - kGap), Qt::AlignCenter,
                   m_title);
  const QFont headingFont = ChartFont(kHeadingSize, true);
  const QFont textFont = ChartFont(kTextSize);
  const QFontMetricsF text(textFont);
  for (const Box& box : m_boxes) {
    if (!box.rect.intersects(exposed)) continue;
    // A place nobody fills keeps its box, dashed, so the shape of the chart
    // stays whole.
    painter.setPen(box.empty ? QPen(Qt::gray, 1, Qt::DashLine) : QPen(Qt::black, box.self ? 2 : 1));
    painter.setBrush(box.self ? QColor(255, 248, 220) : QColor(Qt::white));
    painter.drawRect(box.rect);
    if (zoom < 0.3) continue;  // too small to read
    bool first = true;
    for (const Line& line : box.lines) {
      if (line.heading) {
        if (!first) {
          painter.setPen(QPen(Qt::lightGray, 1));
          const double y = line.rect.top() - kPad / 2;
          painter.drawLine(QPointF(box.rect.left() + kPad, y), QPointF(box.rect.right() - kPad, y));
        }
        first = false;
        painter.setFont(headingFont);
        painter.setPen(Qt::black);
        painter.drawText(line.rect, Qt::TextWordWrap | Qt::AlignLeft, line.text);
      } else if (line.grade) {
        painter.setFont(textFont);
        painter.setPen(QColor(128, 64, 0));
        painter.drawText(line.rect, Qt::TextWordWrap | Qt::AlignLeft, line.text);
      } else {
        painter.setFont(textFont);
        painter.setPen(Qt::black);
        painter.drawText(line.rect, Qt::AlignLeft | Qt::AlignVCenter,
                         text.elidedText(line.text, Qt::ElideRight, line.rect.width()));
      }
    }
  }
  painter.restore();
}

MemberNode* MourningScene::MemberAt(QPointF point) const {
  for (const Box& box : m_boxes) {
    if (!box.rect.contains(point)) continue;
    for (const Line& line : box.lines)
      if (line.member && line.rect.contains(point)) return const_cast<MemberNode*>(line.member);
  }
  return nullptr;
}

QSizeF MourningScene::PageSize() const {
  return PageSizeInUnits(QPageSize::A4, QPageLayout::Landscape);
}

void MourningScene::PaintPage(QPainter& painter, int) const {
  // The whole chart on the page, as large as fits, centred.
  const QSizeF page = PageSize();
  const QRectF area(kPageMargin, kPageMargin, page.width() - 2 * kPageMargin,
                    page.height() - 2 * kPageMargin);
  const double scale = std::min(area.width() / m_bounds.width(), area.height() / m_bounds.height());
  painter.save();
  painter.translate(area.center());
  painter.scale(scale, scale);
  painter.translate(-m_bounds.center());
  Paint(painter, m_bounds, 1);
  painter.restore();
}

const MourningScene::Box* MourningScene::BoxAt(const MourningPlace& place) const {
  for (const Box& box : m_boxes)
    for (const MourningCell* cell : box.cells)
      if (cell->place == place) return &box;
  return nullptr;
}

QRectF MourningScene::BoxOf(const MourningPlace& place) const {
  const Box* box = BoxAt(place);
  return box ? box->rect : QRectF();
}

QStringList MourningScene::NamesIn(const MourningPlace& place) const {
  QStringList names;
  const Box* box = BoxAt(place);
  if (!box) return names;
  for (const Line& line : box->lines)
    if (line.cell && line.cell->place == place) names << line.text;
  return names;
}

MourningChartDialog::MourningChartDialog(const MemberNode& self, std::function<QString()> bookFile,
                                         QWidget* parent)
    : QDialog(parent), m_bookFile(std::move(bookFile)) {
  setObjectName(QStringLiteral("mourningChart"));
  setWindowTitle(MourningText::WindowTitle());
  auto* layout = new QVBoxLayout(this);
  m_view = new ChartView(this);
  m_view->setObjectName(QStringLiteral("mourningView"));
  m_view->setAccessibleName(MourningText::WindowTitle());
  layout->addWidget(m_view);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* exportButton = new QPushButton(tr("导出…"), this);
  exportButton->setObjectName(QStringLiteral("mourningExport"));
  exportButton->setAccessibleName(exportButton->text());
  auto* closeButton = new QPushButton(tr("关闭"), this);
  closeButton->setObjectName(QStringLiteral("mourningClose"));
  closeButton->setAccessibleName(closeButton->text());
  buttons->addWidget(exportButton);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);
  connect(exportButton, &QPushButton::clicked, this, [this] { ExportToFile(); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
  // A name clicked: the chart of that relative.
  connect(m_view, &ChartView::memberActivated, this, [this](MemberNode* member) {
    if (member) setMember(*member);
  });
  resize(1280, 880);
  setMember(self);
}

void MourningChartDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FitToView();
}

void MourningChartDialog::FitToView() {
  const QRectF bounds = m_scene->Bounds();
  const QSize room = m_view->viewport()->size();
  m_view->SetZoom(
      std::clamp(std::min(room.width() / bounds.width(), room.height() / bounds.height()),
                 ChartView::kMinZoom, 1.0));
  m_view->ScrollTo(bounds.topLeft());
}

MourningChartDialog::~MourningChartDialog() = default;

void MourningChartDialog::setMember(const MemberNode& self) {
  auto scene = std::make_unique<MourningScene>(self, MourningChart(&self));
  m_view->SetScene(scene.get());
  m_scene = std::move(scene);
  if (isVisible()) FitToView();
}

bool MourningChartDialog::exportTo(const QString& path, QString* error) const {
  const MourningScene& scene = *m_scene;
  return ExportScene(
      scene, [&scene]() -> const ChartPages& { return scene; }, scene.Title(), QPageSize::A4, 150,
      path, error);
}

void MourningChartDialog::ExportToFile() {
  const QString path = ChartWindow::AskExportPath(this, m_bookFile ? m_bookFile() : QString());
  if (path.isEmpty()) return;
  QString error;
  if (!exportTo(path, &error)) ShowNotice(error);
}
