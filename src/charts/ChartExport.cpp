#include "charts/ChartExport.h"

#include "charts/OuyangChart.h"
#include "charts/PagodaChart.h"
#include "document/AtomicSaveFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace {

class ExportText {
  Q_DECLARE_TR_FUNCTIONS(ExportText)
public:
  static QString EmptyBook() { return tr("家谱是空的，没有可画的世系图。"); }
  static QString NoSuchMember(const QString& name) { return tr("家谱中没有“%1”。").arg(name); }
  static QString CannotWrite(const QString& path) { return tr("无法写入文件“%1”。").arg(path); }
  static QString CannotWrite(const QString& path, FileProblem problem) {
    return tr("无法写入文件“%1”：%2。").arg(path, WriteProblemReason(problem));
  }
  static QString UnknownFormat(const QString& path) {
    return tr("无法识别“%1”的格式：文件名应以 .pdf、.svg 或 .png 结尾。").arg(path);
  }
  static QString TooLarge(qint64 width, qint64 height, qint64 limit) {
    return tr("图表有 %1×%2 像素，超过 PNG 的上限 %3 像素。请减少世数、降低分辨率，或导出 PDF。")
        .arg(width)
        .arg(height)
        .arg(limit);
  }
  static QString TooWideOrHigh(qint64 width, qint64 height, qint64 limit) {
    return tr("图表有 %1×%2 像素，宽或高超过了 PNG 每边 %3 "
              "像素的上限。请减少世数、降低分辨率，或导出 PDF 或 SVG。")
        .arg(width)
        .arg(height)
        .arg(limit);
  }
  static QString BadDpi(int dpi) { return tr("分辨率 %1 不在 1 到 2400 之间。").arg(dpi); }
};

void SetError(QString* error, const QString& text) {
  if (error) *error = text;
}

}  // namespace

BuiltChart::~BuiltChart() = default;

std::unique_ptr<BuiltChart> BuiltChart::Build(const COperationClanbook& book,
                                              const ChartOptions& options, QString* error) {
  MemberNode* root = book.Root();
  if (!root) {
    SetError(error, ExportText::EmptyBook());
    return nullptr;
  }
  MemberNode* start = options.from;
  if (!start && !options.fromName.isEmpty()) {
    start = book.FindByName(root, options.fromName.toStdU16String());
    if (!start) {
      SetError(error, ExportText::NoSuchMember(options.fromName));
      return nullptr;
    }
  }
  if (!start) start = root;
  std::unique_ptr<BuiltChart> chart(new BuiltChart);
  chart->m_options = options;
  chart->m_start = start;
  const int generation = book.GetGeneration(start);
  const QString title = ChartText::Title(ChartText::Visible(ChartText::Name(*root)));
  if (options.layout == ChartLayout::Pagoda)
    chart->m_pagoda = std::make_unique<PagodaChart>(start, options.generations, generation, title);
  else
    chart->m_ouyang = std::make_unique<OuyangChart>(start, options.generations, generation, title,
                                                    options.pageSize);
  return chart;
}

const ChartScene& BuiltChart::Scene() const {
  if (m_pagoda) return *m_pagoda;
  return *m_ouyang;
}

const ChartPages& BuiltChart::Pages() const {
  if (m_ouyang) return *m_ouyang;
  if (!m_pagodaPages) m_pagodaPages = std::make_unique<PagodaPages>(*m_pagoda, m_options.pageSize);
  return *m_pagodaPages;
}

bool PaintChartPages(const ChartPages& pages, QPagedPaintDevice& device, int from, int to,
                     const std::function<void(int)>& afterPage) {
  const int last = to < 0 ? pages.PageCount() - 1 : std::min(to, pages.PageCount() - 1);
  QPainter painter;
  if (!painter.begin(&device)) return false;
  // The printable area may be smaller than the page; the chart keeps its own
  // margins, so the page is scaled from its full size onto the paint rectangle.
  const QRectF paintRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
  const QPointF fullOrigin =
      device.pageLayout().fullRectPixels(device.logicalDpiX()).topLeft() - paintRect.topLeft();
  const double scale = device.logicalDpiX() / kChartUnitsPerInch;
  for (int page = std::max(0, from); page <= last; ++page) {
    if (page > std::max(0, from)) device.newPage();
    painter.save();
    painter.translate(fullOrigin);
    painter.scale(scale, scale);
    pages.PaintPage(painter, page);
    painter.restore();
    if (afterPage) afterPage(page);
  }
  return painter.end();
}

bool ExportChart(const COperationClanbook& book, const ChartOptions& options, const QString& path,
                 QString* error) {
  const std::unique_ptr<BuiltChart> chart = BuiltChart::Build(book, options, error);
  return chart && ExportChart(*chart, path, error);
}

bool ExportChart(const BuiltChart& chart, const QString& path, QString* error) {
  const QString title = ChartText::Visible(ChartText::Name(*chart.Start()));
  // The pages are laid out only for a PDF.
  return ExportScene(
      chart.Scene(), [&chart]() -> const ChartPages& { return chart.Pages(); }, title,
      chart.Options().pageSize, chart.Options().pngDpi, path, error);
}

bool ExportScene(const ChartScene& scene, const std::function<const ChartPages&()>& pagesOf,
                 const QString& title, QPageSize::PageSizeId pageSize, int pngDpi,
                 const QString& path, QString* error) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  // Written beside the target and put in its place whole: a failed or
  // interrupted export leaves whatever file was there, and a target that is
  // no regular file or someone else's is refused as every save refuses it.
  AtomicSaveFile file(path);
  const auto failed = [&] {
    // A target refused for what it is says why; a folder or a disk that
    // fails says what it always said.
    const FileProblem problem = file.problem();
    const bool plain = problem == FileProblem::kNone || problem == FileProblem::kWriteFailed ||
                       problem == FileProblem::kNoSuchFolder ||
                       problem == FileProblem::kTargetNotWritable;
    SetError(error, plain ? ExportText::CannotWrite(path) : ExportText::CannotWrite(path, problem));
    return false;
  };
  const auto open = [&] { return file.open(QIODevice::WriteOnly) || failed(); };
  const auto commit = [&] { return file.commit() || failed(); };
  if (suffix == QLatin1String("pdf")) {
    const ChartPages& pages = pagesOf();
    if (!open()) return false;
    {
      QPdfWriter writer(&file);
      writer.setResolution(600);
      writer.setCreator(QStringLiteral("Clanbook"));
      writer.setTitle(title);
      writer.setPageLayout(
          QPageLayout(QPageSize(pageSize), pages.PageOrientation(), QMarginsF(0, 0, 0, 0)));
      if (!PaintChartPages(pages, writer)) return failed();
    }
    return commit();
  }
  const QRectF bounds = scene.Bounds();
  if (suffix == QLatin1String("svg")) {
    if (!open()) return false;
    const bool written = WriteSceneSvg(scene, title, [&file](std::string_view piece) {
      const auto size = static_cast<qint64>(piece.size());
      return file.write(piece.data(), size) == size;
    });
    if (!written) return failed();
    return commit();
  }
  if (suffix == QLatin1String("png")) {
    const int dpi = pngDpi;
    if (dpi < 1 || dpi > 2400) {
      SetError(error, ExportText::BadDpi(dpi));
      return false;
    }
    const double scale = dpi / kChartUnitsPerInch;
    const auto width = static_cast<qint64>(std::ceil(bounds.width() * scale));
    const auto height = static_cast<qint64>(std::ceil(bounds.height() * scale));
    if (width * height > kMaxPngPixels) {
      SetError(error, ExportText::TooLarge(width, height, kMaxPngPixels));
      return false;
    }
    // QImage also refuses a side beyond its limit, whatever the total.
    if (width > kMaxPngSide || height > kMaxPngSide) {
      SetError(error, ExportText::TooWideOrHigh(width, height, kMaxPngSide));
      return false;
    }
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) {
      SetError(error, ExportText::TooLarge(width, height, kMaxPngPixels));
      return false;
    }
    image.fill(Qt::white);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::TextAntialiasing);
      painter.scale(scale, scale);
      painter.translate(-bounds.topLeft());
      scene.Paint(painter, bounds, 1);
    }
    if (!open()) return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) return failed();
    return commit();
  }
  SetError(error, ExportText::UnknownFormat(path));
  return false;
}

namespace {

// The document QSvgGenerator writes of what `paint` draws.
QByteArray SvgDocument(const ChartScene& scene, const QString& title,
                       const std::function<void(QPainter&)>& paint, bool* ok) {
  const QRectF bounds = scene.Bounds();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setTitle(title);
  svg.setResolution(static_cast<int>(kChartUnitsPerInch));
  svg.setSize(bounds.size().toSize());
  svg.setViewBox(bounds);
  QPainter painter;
  *ok = painter.begin(&svg);
  if (!*ok) return {};
  paint(painter);
  *ok = painter.end();
  return buffer.data();
}

}  // namespace

bool WriteChartSvg(const BuiltChart& chart, const ChartSink& write, int boxes) {
  return WriteSceneSvg(chart.Scene(), ChartText::Visible(ChartText::Name(*chart.Start())), write,
                       boxes);
}

bool WriteSceneSvg(const ChartScene& scene, const QString& title, const ChartSink& write,
                   int boxes) {
  const std::vector<ChartPiece> pieces = scene.Pieces(boxes);
  // QSvgGenerator holds its whole text until the painting ends. Each piece
  // is therefore a document of its own, which is a header, a <defs> block,
  // one group holding the drawing, and the closing tag: the first piece's
  // header opens the file, each piece gives its defs and its group, and one
  // closing tag ends it.
  const auto view = [](const QByteArray& bytes, qsizetype from, qsizetype to) {
    return std::string_view(bytes.constData() + from, static_cast<std::size_t>(to - from));
  };
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    bool ok = false;
    const QByteArray document = SvgDocument(
        scene, title,
        [&](QPainter& painter) {
          if (i == 0) painter.fillRect(scene.Bounds(), Qt::white);
          scene.PaintPiece(painter, pieces[i]);
        },
        &ok);
    if (!ok) return false;
    const qsizetype defs = document.indexOf("<defs>");
    const qsizetype end = document.lastIndexOf("</svg>");
    if (defs < 0 || end < defs) return false;
    if (i == 0 && !write(view(document, 0, defs))) return false;
    if (!write(view(document, defs, end))) return false;
  }
  return write("</svg>\n");
}

bool ParseChartLayout(const QString& text, ChartLayout* layout) {
  const QString word = text.trimmed().toLower();
  if (word == QLatin1String("pagoda") || word == QStringLiteral("吊线图") ||
      word == QStringLiteral("宝塔式")) {
    *layout = ChartLayout::Pagoda;
    return true;
  }
  if (word == QLatin1String("ouyang") || word == QStringLiteral("欧式")) {
    *layout = ChartLayout::Ouyang;
    return true;
  }
  return false;
}
