// Building a chart from a book and writing it out: PDF pages, one SVG
// drawing, one PNG picture. None of it needs a display; a QGuiApplication on
// the offscreen platform is enough.
#pragma once

#include "charts/Chart.h"

#include <QPagedPaintDevice>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class PagodaChart;
class OuyangChart;

// One chart laid out: its drawing and, made when first asked for, its pages.
class BuiltChart {
public:
  // The start member of `options` (from, else the member named fromName, else
  // the root), its 世 and the book's root name for the page headers. Null
  // with a reason in `error` for an empty book or a name nobody bears.
  static std::unique_ptr<BuiltChart> Build(const COperationClanbook& book,
                                           const ChartOptions& options, QString* error);
  ~BuiltChart();

  const ChartScene& Scene() const;
  const ChartPages& Pages() const;
  MemberNode* Start() const { return m_start; }
  const ChartOptions& Options() const { return m_options; }

private:
  BuiltChart() = default;
  ChartOptions m_options;
  MemberNode* m_start = nullptr;
  std::unique_ptr<PagodaChart> m_pagoda;
  mutable std::unique_ptr<ChartPages> m_pagodaPages;
  std::unique_ptr<OuyangChart> m_ouyang;
};

// The one paging routine of PDF, print and preview: pages `from` to `to`
// (from 0, inclusive; -1: the last) on `device`, each scaled from chart
// units to the device. `afterPage`, when given, hears of each page painted.
// False when the device cannot be painted on.
bool PaintChartPages(const ChartPages& pages, QPagedPaintDevice& device, int from = 0, int to = -1,
                     const std::function<void(int)>& afterPage = {});

// A PNG larger than this many pixels is refused: the picture is held whole in
// memory (4 bytes a pixel) before it is written.
inline constexpr std::int64_t kMaxPngPixels = 100'000'000;
// Nor can a picture be wider or higher than this, whatever its size.
inline constexpr std::int64_t kMaxPngSide = 32767;

// Takes the next piece of an exported file; false when it could not.
using ChartSink = std::function<bool(std::string_view piece)>;
// About this many boxes are drawn into the SVG text at a time.
inline constexpr int kSvgPieceBoxes = 2000;
// Hands the chart to `write` as one SVG drawing, made a piece of about
// `boxes` boxes at a time (ChartScene::Pieces), so that the text of a chart
// of any size is never held whole. False when a piece could not be drawn or
// `write` refused one.
bool WriteChartSvg(const BuiltChart& chart, const ChartSink& write, int boxes = kSvgPieceBoxes);

// Writes the chart to `path`; the format follows the suffix (.pdf, .svg,
// .png). On failure returns false and says why, in the user's words, in
// `error`.
bool ExportChart(const COperationClanbook& book, const ChartOptions& options, const QString& path,
                 QString* error);
bool ExportChart(const BuiltChart& chart, const QString& path, QString* error);

// Reads a layout name as the command line gives it ("pagoda", "ouyang",
// "吊线图", "欧式"); false for anything else.
bool ParseChartLayout(const QString& text, ChartLayout* layout);
