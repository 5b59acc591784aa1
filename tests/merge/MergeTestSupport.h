// Books for the branch tests, and a reading of a tree with every data field.
#pragma once

#include <string>

#include "../model/ModelTestSupport.h"
#include "merge/BranchExport.h"

namespace mergetest {

using modeltest::Add;
using modeltest::Narrow;

// Every member in pre-order with his father and all data fields, the death
// date included whether or not it means anything.
inline std::string Dump(const COperationClanbook& tree) {
  std::string out;
  tree.VisitPreOrder(out, tree.Root(), [](std::string& text, MemberNode* m) {
    text += Narrow(m->name) + '<' + (m->parent ? Narrow(m->parent->name) : "-") + "> " +
            std::to_string(m->birthYear) + '-' + std::to_string(m->birthMonth) + '-' +
            std::to_string(m->birthDay) + " m" + std::to_string(m->married) + ' ' +
            Narrow(m->address) + " a" + std::to_string(m->alive) + ' ' +
            std::to_string(m->deathYear) + '-' + std::to_string(m->deathMonth) + '-' +
            std::to_string(m->deathDay) + '\n';
  });
  return out;
}

inline MemberNode* Find(const COperationClanbook& tree, std::u16string_view name) {
  MemberNode* found = tree.FindByName(name);
  return found;
}

// Root (1900) with A (1930: A1 1960 with A11 1990, A2 1962) and B (1935: B1).
inline void BuildClan(COperationClanbook& book) {
  Add(book, u"", u"Root", 1900);
  Add(book, u"Root", u"A", 1930);
  Add(book, u"Root", u"B", 1935);
  Add(book, u"A", u"A1", 1960);
  Add(book, u"A", u"A2", 1962);
  Add(book, u"A1", u"A11", 1990);
  Add(book, u"B", u"B1", 1965);
  Find(book, u"A")->address = u"Hall";
}

// Changes a member's data through the model, as an editing command does.
template <class Edit>
void EditMember(COperationClanbook& tree, std::u16string_view name, Edit edit) {
  MemberNode* m = Find(tree, name);
  MemberNode data = *m;
  edit(data);
  tree.UpdateMemberData(m, data);
}

}  // namespace mergetest
