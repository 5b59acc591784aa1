// The member dialogs refuse a name or an address that a genealogy file could
// not carry before anything is read, so that nothing can be added or changed
// that a later save would have to refuse.
#pragma once

class QLineEdit;

enum class StoredText { Name, Address };

// True when the text of `box` can be stored as a `kind`. Otherwise shows a
// notice naming the field, puts the focus in the box with its text selected,
// and returns false. Texts the commands refuse with messages of their own (an
// empty name, a blank inside) and texts over the box's limit (the exchange's
// message) pass here, so that each refusal keeps the words users know.
bool CheckStorable(QLineEdit* box, StoredText kind);
