// The rules by which every entry dialog reads its boxes, driven through a real
// dialog: keys typed into real line edits, the real OK button clicked.
#include "GuiTestSupport.h"
#include "platform/CDialog.h"
#include "platform/DataExchange.h"
#include "platform/MessageBoxes.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

namespace {

const QString kNoInteger = QStringLiteral("请输入一个整数。");
const QString kTooLong = QStringLiteral("请输入不多于 127 个的字符。");

// Three boxes read in the order number, name, check box, like the entry dialogs.
class ProbeDlg : public CDialog {
public:
  explicit ProbeDlg(bool withDefaultButton = true) {
    auto* layout = new QVBoxLayout(this);
    m_numberBox = AddEdit(layout, "birthDayEdit");
    m_nameBox = AddEdit(layout, "nameEdit");
    m_checkBox = new QCheckBox(QStringLiteral("已婚"), this);
    m_checkBox->setObjectName(QStringLiteral("marriedCheck"));
    layout->addWidget(m_checkBox);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(ControlName(IDOK));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(ControlName(IDCANCEL));
    layout->addWidget(ok);
    layout->addWidget(cancel);
    ok->setAutoDefault(withDefaultButton);
    ok->setDefault(withDefaultButton);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &ProbeDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &ProbeDlg::reject);
  }

  int m_number = 0;
  QString m_name;
  int m_married = 0;
  QLineEdit* m_numberBox;
  QLineEdit* m_nameBox;
  QCheckBox* m_checkBox;

protected:
  void DoDataExchange(DataExchange& dx) override {
    dx.Int(m_numberBox, m_number);
    dx.Text(m_nameBox, m_name);
    dx.Check(m_checkBox, m_married);
  }

private:
  QLineEdit* AddEdit(QVBoxLayout* layout, const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    layout->addWidget(edit);
    return edit;
  }
};

class DataExchangeTest : public ::testing::Test {
protected:
  DataExchangeTest() {
    QObject::connect(&dialog, &QDialog::finished, [this](int result) { finished = result; });
  }
  void Open() { dialog.Create(); }
  std::vector<QString> Texts() const {
    std::vector<QString> texts;
    for (const auto& box : recorder.Boxes()) texts.push_back(box.text);
    return texts;
  }

  MessageBoxRecorder recorder;
  ProbeDlg dialog;
  int finished = -1;
};

TEST(ScanIntegerTest, ReadsLikeScanfPercentD) {
  struct Case {
    const char16_t* text;
    bool ok;
    int value;
  };
  const Case cases[] = {
      {u"42", true, 42},
      {u"   42", true, 42},
      {u"\t\n 7", true, 7},
      {u"\u3000"
       u"5",
       true, 5},  // a full-width blank typed with a Chinese input method
      {u"-13", true, -13},
      {u"+8", true, 8},
      {u"12abc", true, 12},
      {u"3.9", true, 3},
      {u"007", true, 7},
      {u"2147483647", true, INT_MAX},
      {u"-2147483648", true, INT_MIN},
      {u"", false, 0},
      {u"   ", false, 0},
      {u"abc", false, 0},
      {u"a1", false, 0},
      {u"-", false, 0},
      {u"+ 1", false, 0},
      {u"- 1", false, 0},
      {u"2147483648", false, 0},
      {u"-2147483649", false, 0},
      {u"99999999999999999999999", false, 0},
      {u"\uff11\uff12", false, 0},  // full-width digits are not decimal digits to "%d"
  };
  for (const Case& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    int value = -999;
    EXPECT_EQ(ScanInteger(text, value), c.ok) << text.toStdString();
    EXPECT_EQ(value, c.ok ? c.value : -999) << text.toStdString();
  }
}

TEST(ScanIntegerTest, ReadsOnlyTheFirst63Characters) {
  int value = 0;
  EXPECT_TRUE(ScanInteger(QString(62, u' ') + u'9', value));
  EXPECT_EQ(value, 9);
  EXPECT_FALSE(ScanInteger(QString(63, u' ') + u'9', value));
  // A long number is cut after 63 characters, which still overflows.
  EXPECT_FALSE(ScanInteger(QString(70, u'1'), value));
}

TEST_F(DataExchangeTest, OpeningWritesTheMembersIntoTheBoxes) {
  dialog.m_number = -25;
  dialog.m_name = QStringLiteral("张三");
  dialog.m_married = 1;
  Open();
  EXPECT_EQ(dialog.m_numberBox->text(), QStringLiteral("-25"));
  EXPECT_EQ(dialog.m_nameBox->text(), QStringLiteral("张三"));
  EXPECT_EQ(dialog.m_nameBox->maxLength(), 127);
  EXPECT_TRUE(dialog.m_checkBox->isChecked());
  EXPECT_TRUE(recorder.Boxes().empty());
}

TEST_F(DataExchangeTest, CheckValueOutsideZeroToTwoIsResetToZero) {
  dialog.m_married = 7;
  dialog.m_checkBox->setChecked(true);
  Open();
  EXPECT_EQ(dialog.m_married, 0);
  EXPECT_FALSE(dialog.m_checkBox->isChecked());
  dialog.m_married = -1;
  dialog.UpdateData(false);
  EXPECT_EQ(dialog.m_married, 0);
}

TEST_F(DataExchangeTest, OkReadsEveryBoxAndCloses) {
  Open();
  TypeInto(&dialog, "birthDayEdit", QStringLiteral("  1950年"));
  TypeInto(&dialog, "nameEdit", QStringLiteral("李四"));
  dialog.m_checkBox->setFocus();
  QTest::keyClick(dialog.m_checkBox, Qt::Key_Space);
  ClickButton(&dialog, "idc_1");
  EXPECT_EQ(finished, IDOK);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.m_number, 1950);
  EXPECT_EQ(dialog.m_name, QStringLiteral("李四"));
  EXPECT_EQ(dialog.m_married, 1);
  EXPECT_TRUE(recorder.Boxes().empty());
}

TEST_F(DataExchangeTest, NumberBoxWithoutANumberStopsTheExchange) {
  for (const QString& typed :
       {QString(), QStringLiteral("abc"), QStringLiteral("  x12"), QStringLiteral("3000000000")}) {
    recorder.Clear();
    dialog.m_name = QStringLiteral("unchanged");
    dialog.m_number = 5;
    Open();
    TypeInto(&dialog, "birthDayEdit", typed);
    TypeInto(&dialog, "nameEdit", QStringLiteral("王五"));
    ClickButton(&dialog, "idc_1");
    EXPECT_EQ(finished, -1) << typed.toStdString();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(recorder.Boxes().size(), 1u);
    EXPECT_EQ(recorder.Boxes()[0].kind, BoxKind::Notice);
    EXPECT_EQ(recorder.Boxes()[0].text, kNoInteger);
    EXPECT_EQ(recorder.Boxes()[0].title, ApplicationTitle());
    // The number stays and the boxes after it are not read.
    EXPECT_EQ(dialog.m_number, 5);
    EXPECT_EQ(dialog.m_name, QStringLiteral("unchanged"));
    EXPECT_EQ(dialog.focusWidget(), dialog.m_numberBox);
    EXPECT_EQ(dialog.m_numberBox->selectedText(), typed);
  }
}

TEST_F(DataExchangeTest, TextBoxTakesAtMost127Characters) {
  Open();
  const QString typed(128, u'族');
  TypeInto(&dialog, "nameEdit", typed);
  EXPECT_EQ(dialog.m_nameBox->text(), QString(127, u'族'));
  ClickButton(&dialog, "idc_1");
  EXPECT_EQ(finished, IDOK);
  EXPECT_EQ(dialog.m_name, QString(127, u'族'));
}

TEST_F(DataExchangeTest, TextOverTheLimitIsRefusedWhenTheLimitIsBypassed) {
  dialog.m_name = QStringLiteral("旧名");
  dialog.m_married = 1;
  Open();
  TypeInto(&dialog, "birthDayEdit", QStringLiteral("12"));
  // Only code can put more into the box than the limit allows.
  dialog.m_nameBox->setMaxLength(32767);
  dialog.m_nameBox->setText(QString(128, u'a'));
  dialog.m_checkBox->setChecked(false);
  ClickButton(&dialog, "idc_1");
  EXPECT_EQ(finished, -1);
  EXPECT_EQ(Texts(), std::vector<QString>{kTooLong});
  EXPECT_EQ(recorder.Boxes()[0].kind, BoxKind::Notice);
  // The box before the failing one is already read, the one after it is not.
  EXPECT_EQ(dialog.m_number, 12);
  EXPECT_EQ(dialog.m_name, QStringLiteral("旧名"));
  EXPECT_EQ(dialog.m_married, 1);
  EXPECT_EQ(dialog.focusWidget(), dialog.m_nameBox);
  EXPECT_EQ(dialog.m_nameBox->selectedText().size(), 128);

  // 127 characters pass.
  dialog.m_nameBox->setText(QString(127, u'a'));
  ClickButton(&dialog, "idc_1");
  EXPECT_EQ(finished, IDOK);
  EXPECT_EQ(dialog.m_name, QString(127, u'a'));
  EXPECT_EQ(dialog.m_married, 0);
}

TEST_F(DataExchangeTest, TheLimitIsCountedInTheGivenUnit) {
  DataExchange writer(false);
  QLineEdit box;
  QString value = QStringLiteral("abc");
  writer.Text(&box, value, 5);
  EXPECT_EQ(box.maxLength(), 5);
  box.setMaxLength(100);
  box.setText(QStringLiteral("abcdef"));
  DataExchange reader(true);
  reader.Text(&box, value, 5);
  EXPECT_TRUE(reader.failed());
  EXPECT_EQ(Texts(), std::vector<QString>{QStringLiteral("请输入不多于 5 个的字符。")});
  EXPECT_EQ(value, QStringLiteral("abc"));
}

// A character outside the Basic Multilingual Plane takes two code units; at the
// limit it is kept whole or left out, however it arrives, and the box never
// holds half of it.
TEST_F(DataExchangeTest, TheLimitNeverSplitsACharacter) {
  const QString wide = QStringLiteral("\U00020000");  // 𠀀, a surrogate pair
  struct Case {
    const char* how;
    std::function<void(QLineEdit*, const QString&)> put;
  };
  const Case cases[] = {
      {"typed", [](QLineEdit* box, const QString& text) { TypeKeys(box, text); }},
      {"pasted",
       [](QLineEdit* box, const QString& text) {
         QApplication::clipboard()->setText(text);
         box->paste();
       }},
      {"inserted", [](QLineEdit* box, const QString& text) { box->insert(text); }},
  };
  Open();
  QLineEdit* box = dialog.m_nameBox;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    // One unit short: the next pair does not fit and is left out whole.
    box->setText(wide.repeated(63));
    box->end(false);
    c.put(box, wide);
    EXPECT_EQ(box->text(), wide.repeated(63));
    // Two units short: it fits.
    box->setText(QString(125, u'a'));
    box->end(false);
    c.put(box, wide);
    EXPECT_EQ(box->text(), QString(125, u'a') + wide);
    // A long paste into the middle stops before the pair that would be cut.
    box->setText(QString(124, u'a'));
    box->setCursorPosition(62);
    c.put(box, wide.repeated(3));
    EXPECT_EQ(box->text(), QString(62, u'a') + wide + QString(62, u'a'));
  }
  // Writing a member too long for the box keeps the last whole character.
  dialog.m_name = wide.repeated(64);
  dialog.UpdateData(false);
  EXPECT_EQ(box->text(), wide.repeated(63));
  EXPECT_EQ(box->maxLength(), 127);
  // What the box holds is read without complaint.
  ClickButton(&dialog, "idc_1");
  EXPECT_EQ(finished, IDOK);
  EXPECT_EQ(dialog.m_name, wide.repeated(63));
  EXPECT_TRUE(recorder.Boxes().empty());
}

TEST_F(DataExchangeTest, CancelAndEscapeCloseWithoutReading) {
  Open();
  TypeInto(&dialog, "birthDayEdit", QStringLiteral("abc"));
  ClickButton(&dialog, "idc_2");
  EXPECT_EQ(finished, IDCANCEL);
  EXPECT_TRUE(recorder.Boxes().empty());

  finished = -1;
  dialog.Create();
  QTest::keyClick(dialog.m_numberBox, Qt::Key_Escape);
  EXPECT_EQ(finished, IDCANCEL);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DataExchangeTest, EnterPressesTheDefaultButton) {
  Open();
  TypeInto(&dialog, "birthDayEdit", QStringLiteral("-4"));
  QTest::keyClick(dialog.m_numberBox, Qt::Key_Return);
  EXPECT_EQ(finished, IDOK);
  EXPECT_EQ(dialog.m_number, -4);
}

TEST(CDialogTest, EnterWithoutADefaultButtonMeansOk) {
  MessageBoxRecorder recorder;
  ProbeDlg dialog(false);
  int finished = -1;
  QObject::connect(&dialog, &QDialog::finished, [&](int result) { finished = result; });
  dialog.Create();
  TypeInto(&dialog, "birthDayEdit", QStringLiteral("9"));
  QTest::keyClick(dialog.m_numberBox, Qt::Key_Enter);
  EXPECT_EQ(finished, IDOK);
  EXPECT_EQ(dialog.m_number, 9);

  // Enter on a focused button clicks that button, not OK.
  finished = -1;
  dialog.Create();
  auto* cancel = dialog.findChild<QPushButton*>(ControlName(IDCANCEL));
  cancel->setFocus();
  QTest::keyClick(cancel, Qt::Key_Return);
  EXPECT_EQ(finished, IDCANCEL);
}

TEST(CDialogTest, TheKeypadEnterIsEnter) {
  MessageBoxRecorder recorder;
  ProbeDlg dialog(false);
  int finished = -1;
  QObject::connect(&dialog, &QDialog::finished, [&](int result) { finished = result; });
  dialog.Create();
  TypeInto(&dialog, "birthDayEdit", QStringLiteral("7"));
  QTest::keyClick(dialog.m_numberBox, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(finished, IDOK);
  EXPECT_EQ(dialog.m_number, 7);

  finished = -1;
  dialog.Create();
  auto* cancel = dialog.findChild<QPushButton*>(ControlName(IDCANCEL));
  cancel->setFocus();
  QTest::keyClick(cancel, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(finished, IDCANCEL);
}

TEST(CDialogTest, DoModalReturnsOkOrCancel) {
  MessageBoxRecorder recorder;
  {
    ProbeDlg dialog;
    dialog.m_number = 3;
    OnNextDialog<QDialog>([](QDialog* shown) {
      EXPECT_EQ(shown->findChild<QLineEdit*>(QStringLiteral("birthDayEdit"))->text(),
                QStringLiteral("3"));
      TypeInto(shown, "birthDayEdit", QStringLiteral("33"));
      ClickButton(shown, "idc_1");
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_number, 33);
  }
  {
    ProbeDlg dialog;
    OnNextDialog<QDialog>([](QDialog* shown) { shown->close(); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  }
  {
    // A refused box keeps the modal dialog open until the input is corrected.
    ProbeDlg dialog;
    OnNextDialog<QDialog>([&](QDialog* shown) {
      TypeInto(shown, "birthDayEdit", QStringLiteral("x"));
      ClickButton(shown, "idc_1");
      EXPECT_TRUE(shown->isVisible());
      TypeInto(shown, "birthDayEdit", QStringLiteral("8"));
      ClickButton(shown, "idc_1");
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_number, 8);
    EXPECT_EQ(recorder.Boxes().size(), 1u);
  }
  EXPECT_EQ(PendingModalHandlers(), 0);
}

TEST(CDialogTest, ControlNamesFollowTheTemplateIds) {
  EXPECT_EQ(ControlName(1), QStringLiteral("idc_1"));
  EXPECT_EQ(ControlName(32788), QStringLiteral("idc_32788"));
}

}  // namespace
