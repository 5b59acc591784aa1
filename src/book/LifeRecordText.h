// What every text of the book made from a record goes through: the stored
// text made printable, names kept whole, and which language the book speaks.
#pragma once

#include <QString>

#include <string>

namespace book {

// The stored text without control characters (a GEDCOM import can bring
// them), zero-width marks or joiners: a line break or tab becomes a space
// between Latin words and nothing between Chinese characters.
QString Clean(const std::u16string& text);
QString Clean(const QString& text);

// `name` with its characters joined by kNameJoiner, none at either end.
QString Joined(const QString& name);

// Whether the interface's language writes the book in Chinese words and
// numerals; each catalogue answers for its language.
bool InChinese();

}  // namespace book
