// The 世系图 and statistics windows, and exporting, printing and previewing
// the chart of a member.
//
// The chart window holds pointers to the members it has laid out, and the
// document may release members at any time it announces (Open, New, a
// history dropped). So the windows let go of the chart on every announcement
// that members are about to leave, in the signal itself, and lay it out again
// once the event that changed the book is over: an undo of ten edits, or an
// Open, costs one layout, and no paint ever sees a member that is gone.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class ChartWindow;
class GenealogyDocument;
struct MemberNode;
class QWidget;
class StatisticsWindow;

class ChartController : public QObject {
  Q_OBJECT
public:
  // The windows belong to `window` (they stay above it); `selected` gives the
  // member selected in the tree, the one a chart starts from.
  ChartController(GenealogyDocument& document, QWidget& window,
                  std::function<MemberNode*()> selected);
  ~ChartController() override;

  void ShowLineageChart();
  void ShowStatistics();
  void ExportChart();
  void PrintChart();
  void PreviewChart();

  // None until first opened.
  ChartWindow* Chart() const { return m_chartWindow.get(); }
  StatisticsWindow* Statistics() const { return m_statisticsWindow.get(); }

signals:
  // A box of the chart asked to see its member.
  void memberActivated(MemberNode* member);

private:
  // `leaving` (none: every member) may leave the book, with his descendants
  // unless `alone`.
  void DropChartMembers(const MemberNode* leaving, bool alone);
  void Refresh();
  // The member a chart command starts from, or none with a notice for an
  // empty book.
  MemberNode* ChartStart();

  GenealogyDocument& m_document;
  QWidget& m_window;
  std::function<MemberNode*()> m_selected;
  // One refresh after the event answers any number of changes.
  QTimer m_refresh;
  bool m_startsOver = false;
  std::unique_ptr<ChartWindow> m_chartWindow;
  std::unique_ptr<StatisticsWindow> m_statisticsWindow;
};
