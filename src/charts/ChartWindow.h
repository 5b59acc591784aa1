// The 世系图 window: the chart of a start member for some generations, in
// either layout, with zoom, export, print and preview.
#pragma once

#include "charts/Chart.h"
#include "charts/ChartExport.h"
#include "charts/ChartView.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class ChartWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit ChartWindow(QWidget* parent = nullptr);
  ~ChartWindow() override;

  // Asks where to export a chart; .pdf is added to a name without a suffix.
  // Empty when the user cancelled, or chose `bookFile` (the open book's file,
  // which a chart must not replace) and was told so.
  static QString AskExportPath(QWidget* owner, const QString& bookFile);
  // Where the book drawn is kept, asked at each export (a save under another
  // name moves it); none: the book has no file.
  void setBookFile(std::function<QString()> bookFile) { m_bookFile = std::move(bookFile); }

  // The book drawn (not owned) and the member the chart starts at (none: the
  // root). The start is remembered by name as well, so refresh() after an
  // edit finds him again; a start that is gone falls back to the root.
  void setSource(const COperationClanbook* book, MemberNode* start = nullptr);
  // Lays the chart out again from the book as it is now. Connect it to every
  // change of the book: until it runs, the chart still points at the members
  // it was laid out from.
  void refresh();
  // Lets go of every member of the chart at once and shows nothing until the
  // next refresh(), which keeps the place on screen if it draws the same
  // chart. Call it before members leave the book or are released: a refresh
  // at that moment would still lay out the members that are going.
  void dropChart();

  // The member given as the start, kept while the start box holds his name,
  // so that of two members bearing one name the chart shows the one asked
  // for. Whoever changes the book forgets him before he may leave it; the
  // start is then found by name again.
  MemberNode* startMember() const { return m_from; }
  void forgetStartMember() { m_from = nullptr; }

  // The options the controls hold.
  ChartOptions options() const;
  void setOptions(const ChartOptions& options);

  ChartView* view() const { return m_view; }
  // The chart shown, or none for an empty book.
  const BuiltChart* chart() const { return m_chart.get(); }

signals:
  // A box was clicked.
  void memberActivated(MemberNode* member);

private:
  void BuildControls();
  void BuildMenu();
  void ExportToFile();
  void Print();
  void PrintPreview();

  const COperationClanbook* m_book = nullptr;
  std::function<QString()> m_bookFile;
  MemberNode* m_from = nullptr;
  std::unique_ptr<BuiltChart> m_chart;
  ChartView* m_view = nullptr;
  QLineEdit* m_start = nullptr;
  QSpinBox* m_generations = nullptr;
  QComboBox* m_layout = nullptr;
  QComboBox* m_pageSize = nullptr;
  QSpinBox* m_dpi = nullptr;
  QLabel* m_status = nullptr;
  bool m_updating = false;
  // The start and layout of a dropped chart, to keep its place on screen.
  std::optional<std::pair<QString, ChartLayout>> m_dropped;
};

// Printing and previewing the pages of `chart`, paged as its PDF is, in modal
// dialogs over `owner`: the book must not change while they are open.
void PrintChart(const BuiltChart& chart, QWidget* owner);
void PreviewChart(const BuiltChart& chart, QWidget* owner);
