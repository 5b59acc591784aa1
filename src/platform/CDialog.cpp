#include "platform/CDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

CDialog::CDialog(QWidget* parent) : QDialog(parent) {}

int CDialog::DoModal() {
  if (!m_initialised) {
    m_initialised = true;
    OnInitDialog();
  }
  const int result = exec();
  // A dialog that was closed without EndDialog (e.g. destroyed by its owner)
  // counts as cancelled.
  return result == IDOK ? IDOK : IDCANCEL;
}

void CDialog::Create() {
  if (!m_initialised) {
    m_initialised = true;
    OnInitDialog();
  }
  show();
}

bool CDialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(saveAndValidate);
  DoDataExchange(dx);
  return !dx.failed();
}

void CDialog::DoDataExchange(DataExchange&) {}

QHBoxLayout* CDialog::OkCancelRow(const QString& okText, const QString& cancelText) {
  auto* ok = new QPushButton(okText, this);
  ok->setObjectName(ControlName(IDOK));
  ok->setAccessibleName(okText);
  ok->setDefault(true);
  auto* cancel = new QPushButton(cancelText, this);
  cancel->setObjectName(ControlName(IDCANCEL));
  cancel->setAccessibleName(cancelText);
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &CDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &CDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

void CDialog::accept() {
  OnOK();
}

void CDialog::reject() {
  OnCancel();
}

void CDialog::EndDialog(int result) {
  QDialog::done(result);
}

void CDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  // The keypad's Enter arrives with the keypad modifier; it is Enter all the same.
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (enter && modifiers == Qt::NoModifier) {
    // Enter clicks the focused push button, else the default button, and in a
    // window without a default button it means OK, as in the dialogs users of
    // the original platform know.
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
        focused && focused->isVisible() && isAncestorOf(focused)) {
      if (focused->isEnabled()) focused->click();
      return;
    }
    const auto buttons = findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
      if (button->isDefault() && button->isVisible()) {
        if (button->isEnabled()) button->click();
        return;
      }
    }
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

QString ControlName(int id) {
  return QStringLiteral("idc_%1").arg(id);
}
