#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <vector>

namespace {
MessageBoxRecorder* g_recorder = nullptr;

QString OkText() {
  return QCoreApplication::translate("MessageBoxes", "确定");
}

// The buttons speak the program's language, whether or not Qt's own
// translations are installed for it.
void UseProgramButtonTexts(QMessageBox& box) {
  if (auto* ok = box.button(QMessageBox::Ok)) ok->setText(OkText());
  if (auto* yes = box.button(QMessageBox::Yes))
    yes->setText(QCoreApplication::translate("MessageBoxes", "是(&Y)"));
  if (auto* no = box.button(QMessageBox::No))
    no->setText(QCoreApplication::translate("MessageBoxes", "否(&N)"));
}

// Beyond this many characters a message box would outgrow the screen and hide
// its OK button (today's birthdays in a large clan name thousands of members).
constexpr qsizetype kLongText = 1500;

// The same message with an OK button, its text in a scrolling box.
void ShowLongText(QWidget* owner, QStyle::StandardPixmap iconKind, const QString& title,
                  const QString& text) {
  QDialog box(owner);
  box.setWindowTitle(title);
  auto* layout = new QGridLayout(&box);
  auto* icon = new QLabel(&box);
  const int extent = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
  icon->setPixmap(box.style()->standardIcon(iconKind, nullptr, &box).pixmap(extent, extent));
  layout->addWidget(icon, 0, 0, Qt::AlignTop);
  auto* view = new QPlainTextEdit(text, &box);
  view->setReadOnly(true);
  view->setAccessibleName(title);
  layout->addWidget(view, 0, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  buttons->button(QDialogButtonBox::Ok)->setText(OkText());
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  layout->addWidget(buttons, 1, 0, 1, 2);
  const QSize screen = box.screen() ? box.screen()->availableSize() : QSize(1024, 768);
  box.resize(screen.width() / 2, screen.height() / 2);
  box.exec();
}

int Show(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  if (text.size() > kLongText && buttons == QMessageBox::Ok) {
    ShowLongText(owner,
                 icon == QMessageBox::Information ? QStyle::SP_MessageBoxInformation
                                                  : QStyle::SP_MessageBoxWarning,
                 title, text);
    return QMessageBox::Ok;
  }
  QMessageBox box(icon, title, text, buttons, owner);
  // Member names are the user's text: a name that looks like markup must show
  // as typed and must not turn the message's line breaks into nothing.
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(defaultButton);
  UseProgramButtonTexts(box);
  return box.exec();
}

// A box without an owner of its own is owned by whatever window is active, as
// the message boxes of the platform the program comes from are.
QWidget* ActiveOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}
}  // namespace

// Records the box when a recorder is alive; `answer` (questions only) receives
// the queued answer, which does not depend on `byDefault`. False when nobody records, so the box
// must be shown.
bool RecordBox(BoxKind kind, const QString& title, const QString& text, bool* answer,
               QuestionDefault byDefault) {
  MessageBoxRecorder* recorder = g_recorder;
  if (!recorder) return false;
  recorder->m_boxes.push_back({kind, title, text, byDefault, {}, 0});
  if (recorder->onBox) recorder->onBox(recorder->m_boxes.back());
  if (answer) {
    if (recorder->m_answers.empty()) {
      ++recorder->unansweredQuestions;
      *answer = false;
    } else {
      *answer = recorder->m_answers.front();
      recorder->m_answers.pop_front();
    }
  }
  return true;
}

QString ApplicationTitle() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void ShowNotice(const QString& text) {
  const QString title = ApplicationTitle();
  if (RecordBox(BoxKind::Notice, title, text, nullptr, QuestionDefault::Yes)) return;
  Show(ActiveOwner(), QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool AskQuestion(QWidget* owner, const QString& title, const QString& text,
                 QuestionDefault byDefault) {
  bool answer = false;
  if (RecordBox(BoxKind::Question, title, text, &answer, byDefault)) return answer;
  return Show(owner, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No,
              byDefault == QuestionDefault::No ? QMessageBox::No : QMessageBox::Yes) ==
         QMessageBox::Yes;
}

void ShowInformation(QWidget* owner, const QString& title, const QString& text) {
  if (RecordBox(BoxKind::Information, title, text, nullptr, QuestionDefault::Yes)) return;
  Show(owner, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

int AskChoice(QWidget* owner, const QString& title, const QString& text, const QStringList& choices,
              int defaultChoice) {
  const int escape = static_cast<int>(choices.size()) - 1;
  if (MessageBoxRecorder* recorder = g_recorder) {
    recorder->m_boxes.push_back(
        {BoxKind::Choice, title, text, QuestionDefault::Yes, choices, defaultChoice});
    if (recorder->onBox) recorder->onBox(recorder->m_boxes.back());
    if (recorder->m_choices.empty()) {
      ++recorder->unansweredQuestions;
      return escape;
    }
    const int answer = recorder->m_choices.front();
    recorder->m_choices.pop_front();
    return answer;
  }
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, owner);
  box.setTextFormat(Qt::PlainText);
  std::vector<QPushButton*> buttons;
  for (int i = 0; i <= escape; ++i) {
    auto* button =
        box.addButton(choices[i], i == escape ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    button->setAccessibleName(QString(choices[i]).remove(u'&'));
    buttons.push_back(button);
  }
  if (defaultChoice >= 0 && defaultChoice <= escape) box.setDefaultButton(buttons[defaultChoice]);
  if (escape >= 0) box.setEscapeButton(buttons.back());
  box.exec();
  for (int i = 0; i <= escape; ++i)
    if (box.clickedButton() == buttons[i]) return i;
  return escape;
}

MessageBoxRecorder::MessageBoxRecorder() : m_previous(g_recorder) {
  g_recorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() {
  g_recorder = m_previous;
}

void MessageBoxRecorder::QueueAnswer(bool yes) {
  m_answers.push_back(yes);
}

void MessageBoxRecorder::QueueChoice(int index) {
  m_choices.push_back(index);
}
