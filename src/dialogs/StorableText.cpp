#include "dialogs/StorableText.h"

#include "model/COperationClanbook.h"
#include "platform/DataExchange.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace {
bool LeftToOthers(const QString& text) {
  if (text.isEmpty() || text.size() > kTextBoxLimit) return true;
  for (QChar c : text)
    if (c.isSpace()) return true;
  return false;
}
}  // namespace

bool CheckStorable(QLineEdit* box, StoredText kind) {
  const QString text = box->text();
  if (LeftToOthers(text)) return true;
  const std::u16string units = text.toStdU16String();
  const bool storable = kind == StoredText::Name ? COperationClanbook::IsStorableName(units)
                                                 : COperationClanbook::IsStorableAddress(units);
  if (storable) return true;
  ShowNotice(kind == StoredText::Name
                 ? QCoreApplication::translate("StorableText", "姓名中含有无法保存的字符!")
                 : QCoreApplication::translate("StorableText", "地址中含有无法保存的字符!"));
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
  return false;
}
