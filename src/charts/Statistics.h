// The statistics picture of a book: members per generation, living and
// deceased, the married share and births per decade, drawn with QPainter so
// that the window, PNG and SVG show the very same picture.
#pragma once

#include "model/COperationClanbook.h"

#include <QMainWindow>
#include <QSizeF>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class QPainter;

inline constexpr std::int64_t kMaxDecadeRows = 2000;

struct ClanStatistics {
  std::int64_t members = 0;
  std::int64_t living = 0;
  std::int64_t deceased = 0;
  std::int64_t married = 0;
  std::vector<std::int64_t> perGeneration;  // [0] is 第1世
  // (first year of the decade, births), decades in ascending order, every
  // decade from the first birth to the last unless they are more than
  // kMaxDecadeRows, then only those with births.
  std::vector<std::pair<std::int32_t, std::int64_t>> birthsPerDecade;
};

// One walk over the whole book, iterative.
ClanStatistics ComputeStatistics(const COperationClanbook& book);

// The picture: its size in pixels at 96 dpi, and its painting.
QSizeF StatisticsPictureSize(const ClanStatistics& stats);
void PaintStatistics(QPainter& painter, const ClanStatistics& stats);

// Writes the picture to a .png or .svg file; false with a reason otherwise.
bool ExportStatistics(const ClanStatistics& stats, const QString& path, QString* error);

class StatisticsView : public QWidget {
  Q_OBJECT
public:
  explicit StatisticsView(QWidget* parent = nullptr);
  void SetStatistics(ClanStatistics stats);
  const ClanStatistics& Statistics() const { return m_stats; }
  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  ClanStatistics m_stats;
};

class StatisticsWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit StatisticsWindow(QWidget* parent = nullptr);

  // The book counted; not owned. Call refresh() whenever it changes.
  void setSource(const COperationClanbook* book);
  void refresh();
  StatisticsView* view() const { return m_view; }
  // Where the book counted is kept, asked at each export: a picture never
  // replaces it. None: the book has no file.
  void setBookFile(std::function<QString()> bookFile) { m_bookFile = std::move(bookFile); }

private:
  void ExportPicture();

  const COperationClanbook* m_book = nullptr;
  std::function<QString()> m_bookFile;
  StatisticsView* m_view = nullptr;
};
