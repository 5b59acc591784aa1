// The link control driven like a user does: the mouse enters and leaves,
// clicks open the address through the shell seam, and what is painted is read
// back from the widget's pixels.
#include "platform/CHyperLink.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QColor kBlue(0, 0, 238);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 160, 0);
const QColor kBlack(0, 0, 0);

// The shell and the beep, as the link sees them.
struct ShellSeams {
  std::vector<QString> opened;
  int beeps = 0;
  bool opens = true;
  ShellSeams() {
    SetUrlOpenerForTesting([this](const QString& url) {
      opened.push_back(url);
      return opens;
    });
    SetBeepForTesting([this] { ++beeps; });
  }
  ~ShellSeams() {
    SetUrlOpenerForTesting(nullptr);
    SetBeepForTesting(nullptr);
  }
};

int PixelsIn(QWidget* widget, const QColor& color) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == color.rgb()) ++count;
  return count;
}

// The colour the text shows in, checked against every other colour in play.
void ExpectDrawnIn(CHyperLink* link, const QColor& expected) {
  EXPECT_GT(PixelsIn(link, expected), 0) << expected.name().toStdString();
  for (const QColor& other : {kBlue, kRed, kGreen, kBlack}) {
    if (other != expected) {
      EXPECT_EQ(PixelsIn(link, other), 0) << other.name().toStdString();
    }
  }
}

void MouseEnters(QWidget* widget) {
  const QPointF inside(2, 2);
  QEnterEvent enter(inside, inside, widget->mapToGlobal(inside));
  QApplication::sendEvent(widget, &enter);
}

void MouseLeaves(QWidget* widget) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget, &leave);
}

class HyperLinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    window.resize(400, 200);
    window.show();
  }
  CHyperLink* MakeLink(const QString& text) {
    auto* link = new CHyperLink(text, &window);
    link->show();
    return link;
  }
  QWidget window;
  ShellSeams shell;
  MessageBoxRecorder boxes;
};

TEST_F(HyperLinkTest, ColoursFollowTheMouseAndTheClicks) {
  CHyperLink* link = MakeLink(QStringLiteral("Morvane家谱"));
  link->SetUrl(QStringLiteral("http://www.example.org/"));
  link->m_visitedColor = kGreen;
  ExpectDrawnIn(link, kBlue);

  MouseEnters(link);
  EXPECT_TRUE(link->m_overControl);
  ExpectDrawnIn(link, kRed);
  MouseLeaves(link);
  EXPECT_FALSE(link->m_overControl);
  ExpectDrawnIn(link, kBlue);

  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_EQ(shell.opened, std::vector<QString>{QStringLiteral("http://www.example.org/")});
  EXPECT_EQ(shell.beeps, 0);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(link->m_visited);
  MouseLeaves(link);
  ExpectDrawnIn(link, kGreen);

  // A visited link still lights up under the mouse, and is visited again after.
  MouseEnters(link);
  ExpectDrawnIn(link, kRed);
  MouseLeaves(link);
  ExpectDrawnIn(link, kGreen);

  shell.opens = false;
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.beeps, 1);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Notice);
  EXPECT_EQ(boxes.Boxes()[0].title, ApplicationTitle());
  EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("Unable to open hyperlink:\n\n"));
  EXPECT_FALSE(link->m_visited);
  MouseLeaves(link);
  ExpectDrawnIn(link, kBlue);
}

TEST_F(HyperLinkTest, OnlyTheLeftButtonOpens) {
  CHyperLink* link = MakeLink(QStringLiteral("link"));
  link->SetUrl(QStringLiteral("http://www.example.org/"));
  QTest::mouseClick(link, Qt::RightButton, {}, QPoint(2, 2));
  QTest::mouseClick(link, Qt::MiddleButton, {}, QPoint(2, 2));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_FALSE(link->m_visited);
}

TEST_F(HyperLinkTest, TemplateTextIsTheAddressUntilSetUrlButShowsNoToolTip) {
  CHyperLink* link = MakeLink(QStringLiteral("mailto:someone@example.org"));
  EXPECT_EQ(link->Url(), QStringLiteral("mailto:someone@example.org"));
  EXPECT_TRUE(link->toolTip().isEmpty());
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(shell.opened, std::vector<QString>{QStringLiteral("mailto:someone@example.org")});

  link->SetUrl(QStringLiteral("http://www.example.org/"));
  EXPECT_EQ(link->toolTip(), QStringLiteral("http://www.example.org/"));
  EXPECT_EQ(link->text(), QStringLiteral("mailto:someone@example.org"));
}

TEST_F(HyperLinkTest, EmptyAddressMakesPlainBlackTextThatIgnoresClicks) {
  CHyperLink* link = MakeLink(QStringLiteral("Morvane家谱"));
  link->SetUrl(QStringLiteral("http://www.example.org/"));
  link->SetUrl(QString());
  EXPECT_TRUE(link->toolTip().isEmpty());
  EXPECT_NE(link->cursor().shape(), Qt::PointingHandCursor);
  ExpectDrawnIn(link, kBlack);
  MouseEnters(link);
  ExpectDrawnIn(link, kBlack);
  MouseLeaves(link);

  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ(shell.beeps, 0);
  EXPECT_TRUE(boxes.Boxes().empty());

  // An address brings the tool tip back; the colours stay the owner's to set.
  link->SetUrl(QStringLiteral("http://www.example.org/b"));
  EXPECT_EQ(link->toolTip(), QStringLiteral("http://www.example.org/b"));
  ExpectDrawnIn(link, kBlack);
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(shell.opened, std::vector<QString>{QStringLiteral("http://www.example.org/b")});
}

TEST_F(HyperLinkTest, FitToTextKeepsTheEdgeOrCentreOfTheAlignment) {
  const QString text = QStringLiteral("Morvane软件");
  const QRect box(10, 20, 300, 41);
  struct Case {
    Qt::Alignment alignment;
    const char* name;
  };
  for (const Case& c :
       {Case{Qt::AlignLeft | Qt::AlignTop, "left"}, Case{Qt::AlignHCenter | Qt::AlignTop, "centre"},
        Case{Qt::AlignRight | Qt::AlignTop, "right"},
        Case{Qt::AlignLeft | Qt::AlignVCenter, "vertical centre"}}) {
    SCOPED_TRACE(c.name);
    CHyperLink* link = MakeLink(text);
    link->setAlignment(c.alignment);
    link->setGeometry(box);
    link->FitToText();
    const QFontMetrics metrics(link->font());
    const int width = metrics.horizontalAdvance(text);
    const QRect fitted = link->geometry();
    ASSERT_LT(width, box.width());
    EXPECT_NEAR(fitted.width(), width, 1);
    EXPECT_NEAR(fitted.height(), metrics.height(), 1);
    if (c.alignment & Qt::AlignHCenter)
      EXPECT_NEAR(fitted.center().x(), box.center().x(), 1);
    else if (c.alignment & Qt::AlignRight)
      EXPECT_EQ(fitted.x() + fitted.width(), box.x() + box.width());
    else
      EXPECT_EQ(fitted.x(), box.x());
    if (c.alignment & Qt::AlignVCenter)
      EXPECT_NEAR(fitted.center().y(), box.center().y(), 1);
    else
      EXPECT_EQ(fitted.y(), box.y());
    delete link;
  }
}

TEST_F(HyperLinkTest, FitToTextGrowsALabelTooNarrowForItsText) {
  CHyperLink* link = MakeLink(QStringLiteral("Morvane家谱制作软件 http://www.morvane.example"));
  link->setGeometry(50, 5, 20, 10);
  link->FitToText();
  EXPECT_EQ(link->x(), 50);
  EXPECT_GT(link->width(), 100);
  EXPECT_TRUE(link->rect().contains(QRect(QPoint(0, 0), link->TextExtent())));
}

TEST_F(HyperLinkTest, BoldRefitsAndAdjustToFitOffKeepsTheSize) {
  CHyperLink* link = MakeLink(QStringLiteral("Morvane软件:http://www.morvane.example"));
  link->FitToText();
  const int plainWidth = link->width();
  link->SetBold(true);
  EXPECT_TRUE(link->font().bold());
  EXPECT_GT(link->width(), plainWidth);
  link->SetBold(false);
  EXPECT_EQ(link->width(), plainWidth);

  link->m_adjustToFit = false;
  link->setGeometry(0, 0, 333, 44);
  link->SetBold(true);
  EXPECT_EQ(link->geometry(), QRect(0, 0, 333, 44));
}

TEST_F(HyperLinkTest, UnderlineFollowsSetUnderlinedAndSetBoldKeepsIt) {
  CHyperLink* link = MakeLink(QStringLiteral("link"));
  EXPECT_TRUE(link->font().underline());  // a link is underlined from the start
  link->SetUnderlined(false);
  EXPECT_FALSE(link->font().underline());
  link->SetUnderlined(true);
  link->SetBold(true);
  EXPECT_TRUE(link->font().underline());
  EXPECT_TRUE(link->font().bold());
}

TEST_F(HyperLinkTest, SizeHintFollowsTheTextInsideALayout) {
  auto* row = new QHBoxLayout(&window);
  auto* link = new CHyperLink(QStringLiteral("short"), &window);
  row->addWidget(link);
  const int before = link->sizeHint().width();
  link->setText(QStringLiteral("a much longer text than before"));
  link->FitToText();
  EXPECT_GT(link->sizeHint().width(), before);
  EXPECT_EQ(link->sizeHint(), link->TextExtent());
}

TEST_F(HyperLinkTest, DesignerFormLinkTakesItsTextWhenAttached) {
  auto* link = new CHyperLink(&window);
  EXPECT_TRUE(link->Url().isEmpty());
  link->setText(QStringLiteral("http://www.example.org/form"));
  link->Attach();
  EXPECT_EQ(link->Url(), QStringLiteral("http://www.example.org/form"));
  link->SetUrl(QStringLiteral("http://www.example.org/set"));
  link->Attach();  // a second attachment changes nothing
  EXPECT_EQ(link->Url(), QStringLiteral("http://www.example.org/set"));
  EXPECT_EQ(link->toolTip(), QStringLiteral("http://www.example.org/set"));
}

}  // namespace
