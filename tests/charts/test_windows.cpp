// The chart and statistics windows driven as a user would: controls found by
// their accessible names, commands by their actions, boxes clicked.
#include "ChartTestBooks.h"
#include "charts/ChartWindow.h"
#include "charts/OuyangChart.h"
#include "charts/PagodaChart.h"
#include "charts/Statistics.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

class WindowTest : public ::testing::Test {
protected:
  void SetUp() override { charttest::RandomBook(book, 120, 9, 11); }
  COperationClanbook book;
};

TEST_F(WindowTest, ControlsCarryTheirLabelsAndCommandsAreMenuActions) {
  ChartWindow window;
  window.setSource(&book);
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->buddy()) continue;
    EXPECT_EQ(label->buddy()->accessibleName(), label->text());
  }
  for (const char* name : {"actionExportChart", "actionPrintChart", "actionPrintPreviewChart",
                           "actionZoomIn", "actionZoomOut", "actionZoomReset"}) {
    auto* action = window.findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(action, nullptr) << name;
    EXPECT_FALSE(action->text().isEmpty());
    bool inMenu = false;
    for (QAction* menu : window.menuBar()->actions())
      if (menu->menu() && menu->menu()->actions().contains(action)) inMenu = true;
    EXPECT_TRUE(inMenu) << name;
  }
}

TEST_F(WindowTest, OptionsRebuildTheChartFromTheStartMember) {
  ChartWindow window;
  window.setSource(&book);
  window.resize(900, 600);
  window.show();
  MemberNode* start = book.Root()->firstChild;
  auto* startBox = window.findChild<QLineEdit*>(QStringLiteral("chartStart"));
  startBox->setText(QString::fromStdU16String(start->name));
  emit startBox->editingFinished();
  window.findChild<QSpinBox*>(QStringLiteral("chartGenerations"))->setValue(3);
  ASSERT_NE(window.chart(), nullptr);
  auto* pagoda = dynamic_cast<const PagodaChart*>(&window.chart()->Scene());
  ASSERT_NE(pagoda, nullptr);
  EXPECT_EQ(pagoda->Layout().Nodes().front().member, start);
  EXPECT_EQ(pagoda->Layout().LevelCount(), 3);
  EXPECT_EQ(pagoda->Layout().FirstGeneration(), 2);

  auto* layout = window.findChild<QComboBox*>(QStringLiteral("chartLayout"));
  layout->setCurrentIndex(layout->findData(static_cast<int>(ChartLayout::Ouyang)));
  EXPECT_NE(dynamic_cast<const OuyangChart*>(&window.chart()->Scene()), nullptr);

  // An edit keeps the place on screen.
  window.view()->ScrollTo(QPointF(200, 300));
  const QPointF place = window.view()->ToChart(QPointF(0, 0));
  window.refresh();
  EXPECT_EQ(window.view()->ToChart(QPointF(0, 0)), place);

  // A start member that has been deleted falls back to the root on refresh.
  MemberNode* gone = start;
  book.DeleteMember(gone);
  window.refresh();
  ASSERT_NE(window.chart(), nullptr);
  EXPECT_EQ(window.chart()->Start(), book.Root());
}

TEST_F(WindowTest, ClickingABoxActivatesItsMember) {
  for (const ChartLayout kind : {ChartLayout::Pagoda, ChartLayout::Ouyang}) {
    ChartWindow window;
    window.setSource(&book);
    ChartOptions options = window.options();
    options.layout = kind;
    window.setOptions(options);
    window.resize(1000, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy spy(&window, &ChartWindow::memberActivated);
    ChartView* view = window.view();
    QPointF centre;
    QPointF gap;  // from the centre to a point between boxes
    MemberNode* expected = nullptr;
    if (kind == ChartLayout::Pagoda) {
      const auto& layout = dynamic_cast<const PagodaChart&>(window.chart()->Scene()).Layout();
      const int child = layout.Nodes().front().firstChild;
      centre = layout.BoxRect(child).center();
      expected = layout.Nodes()[child].member;
      gap = QPointF(0, PagodaLayout::kBoxHeight / 2 + PagodaLayout::kRowGap / 4);
    } else {
      const auto boxes = dynamic_cast<const OuyangChart&>(window.chart()->Scene()).PageBoxes(0);
      centre = boxes[1].box.center();
      expected = boxes[1].member;
      gap = QPointF(0, (OuyangChart::kBoxHeight + OuyangChart::kRowPitch) / 4);
    }
    view->SetZoom(1.5);
    view->ScrollTo(centre - QPointF(100, 100));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->ToViewport(centre).toPoint());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<MemberNode*>(), expected);
    // Between boxes nothing is activated.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->ToViewport(centre + gap).toPoint());
    EXPECT_EQ(spy.count(), 1);
  }
}

TEST_F(WindowTest, ExportCommandWritesTheChosenFile) {
  QTemporaryDir dir;
  ChartWindow window;
  window.setSource(&book);
  const QString path = dir.filePath(QStringLiteral("chart"));
  SetFileDialogForTesting([&](const FileDialogRequest& request) {
    EXPECT_FALSE(request.open);
    EXPECT_TRUE(request.filter.contains(QStringLiteral("*.svg")));
    return path;
  });
  MessageBoxRecorder boxes;
  window.findChild<QAction*>(QStringLiteral("actionExportChart"))->trigger();
  SetFileDialogForTesting(nullptr);
  EXPECT_TRUE(QFile::exists(path + QStringLiteral(".pdf")));
}

// A start nobody bears draws the line from the root; the export writes that
// chart, at the resolution the box holds now.
TEST_F(WindowTest, ExportWritesTheChartOnScreen) {
  QTemporaryDir dir;
  ChartWindow window;
  window.setSource(&book);
  auto* start = window.findChild<QLineEdit*>(QStringLiteral("chartStart"));
  start->setText(QStringLiteral("无此人"));
  emit start->editingFinished();
  window.findChild<QSpinBox*>(QStringLiteral("chartDpi"))->setValue(96);
  const QString path = dir.filePath(QStringLiteral("chart.png"));
  SetFileDialogForTesting([&](const FileDialogRequest&) { return path; });
  MessageBoxRecorder boxes;
  window.findChild<QAction*>(QStringLiteral("actionExportChart"))->trigger();
  SetFileDialogForTesting(nullptr);
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text.toStdString();
  EXPECT_TRUE(QFile::exists(path));
}

TEST_F(WindowTest, StatisticsCountEveryMemberOnce) {
  const ClanStatistics stats = ComputeStatistics(book);
  std::map<int, std::int64_t> perGeneration;
  std::map<std::int32_t, std::int64_t> perDecade;
  std::int64_t living = 0, married = 0;
  for (MemberNode* m : charttest::Charted(book.Root(), 0)) {
    ++perGeneration[book.GetGeneration(m) - 1];
    ++perDecade[m->birthYear - ((m->birthYear % 10) + 10) % 10];
    living += m->alive != 0;
    married += m->married != 0;
  }
  EXPECT_EQ(stats.members, 120);
  EXPECT_EQ(stats.living, living);
  EXPECT_EQ(stats.deceased, stats.members - living);
  EXPECT_EQ(stats.married, married);
  ASSERT_EQ(stats.perGeneration.size(), perGeneration.size());
  for (const auto& [g, n] : perGeneration) EXPECT_EQ(stats.perGeneration[g], n) << g;
  // Every decade from the first birth to the last, the empty ones with 0.
  ASSERT_FALSE(stats.birthsPerDecade.empty());
  EXPECT_EQ(stats.birthsPerDecade.front().first, perDecade.begin()->first);
  EXPECT_EQ(stats.birthsPerDecade.back().first, perDecade.rbegin()->first);
  for (std::size_t i = 0; i < stats.birthsPerDecade.size(); ++i) {
    const auto [decade, births] = stats.birthsPerDecade[i];
    if (i) {
      EXPECT_EQ(decade, stats.birthsPerDecade[i - 1].first + 10);
    }
    EXPECT_EQ(births, perDecade.count(decade) ? perDecade[decade] : 0) << decade;
  }

  COperationClanbook deep;
  charttest::DeepBook(deep, 200000);
  const ClanStatistics line = ComputeStatistics(deep);
  EXPECT_EQ(line.perGeneration.size(), 200000u);
  EXPECT_EQ(line.members, 200000);
}

TEST_F(WindowTest, StatisticsWindowExportsItsPicture) {
  QTemporaryDir dir;
  StatisticsWindow window;
  window.setSource(&book);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("统计信息"));
  for (const char* suffix : {"png", "svg"}) {
    const QString path = dir.filePath(QStringLiteral("stats.") + QLatin1String(suffix));
    SetFileDialogForTesting([&](const FileDialogRequest&) { return path; });
    window.findChild<QAction*>(QStringLiteral("actionExportStatistics"))->trigger();
    SetFileDialogForTesting(nullptr);
    ASSERT_TRUE(QFile::exists(path)) << suffix;
  }
  QFile svg(dir.filePath(QStringLiteral("stats.svg")));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(svg.readAll());
  EXPECT_TRUE(text.contains(
      ChartText::Generation(static_cast<int>(window.view()->Statistics().perGeneration.size()))));
}

}  // namespace
