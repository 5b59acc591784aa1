// The seams through which tests replace the clock, the desktop's URL handler,
// the beep and the file dialog.
#include "platform/Shell.h"
#include "platform/Today.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

TEST(SeamsTest, TodayComesFromTheSeamUntilItIsCleared) {
  SetTodayForTesting(LocalDate{2024, 2, 29});
  const LocalDate fixed = Today();
  EXPECT_EQ(fixed.year, 2024);
  EXPECT_EQ(fixed.month, 2);
  EXPECT_EQ(fixed.day, 29);

  SetTodayForTesting(std::nullopt);
  const QDate clock = QDate::currentDate();
  const LocalDate today = Today();
  // Around midnight the clock may move on between the two readings.
  if (clock == QDate::currentDate()) {
    EXPECT_EQ(today.year, clock.year());
    EXPECT_EQ(today.month, clock.month());
    EXPECT_EQ(today.day, clock.day());
  }
}

TEST(SeamsTest, UrlsBeepsAndFileDialogsGoThroughTheirSeams) {
  QStringList opened;
  SetUrlOpenerForTesting([&](const QString& url) {
    opened << url;
    return url.startsWith(QStringLiteral("http"));
  });
  EXPECT_TRUE(OpenUrl(QStringLiteral("http://www.example.org/article.php?article_id=6")));
  EXPECT_FALSE(OpenUrl(QStringLiteral("mailto:a@example.org?subject=反馈")));
  EXPECT_EQ(opened.size(), 2);
  EXPECT_EQ(opened[1], QStringLiteral("mailto:a@example.org?subject=反馈"));
  SetUrlOpenerForTesting(nullptr);

  int beeps = 0;
  SetBeepForTesting([&] { ++beeps; });
  Beep();
  Beep();
  EXPECT_EQ(beeps, 2);
  SetBeepForTesting(nullptr);

  FileDialogRequest seen;
  SetFileDialogForTesting([&](const FileDialogRequest& request) {
    seen = request;
    return QStringLiteral("/tmp/a.ftf");
  });
  EXPECT_EQ(RunFileDialog(nullptr, {false, QStringLiteral("Family (*.ftf)")}),
            QStringLiteral("/tmp/a.ftf"));
  EXPECT_FALSE(seen.open);
  EXPECT_EQ(seen.filter, QStringLiteral("Family (*.ftf)"));
  SetFileDialogForTesting(nullptr);
}

}  // namespace
