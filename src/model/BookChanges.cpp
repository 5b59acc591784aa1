#include "model/BookChanges.h"

#include <vector>

#include "model/COperationClanbook.h"

namespace {

// `top` and everyone below him (not his brothers).
template <class Visit>
void ForSubtree(MemberNode* top, Visit&& visit) {
  visit(top);
  std::vector<MemberNode*> pending;
  if (top->firstChild) pending.push_back(top->firstChild);
  while (!pending.empty()) {
    MemberNode* member = pending.back();
    pending.pop_back();
    visit(member);
    if (member->nextSibling) pending.push_back(member->nextSibling);
    if (member->firstChild) pending.push_back(member->firstChild);
  }
}

}  // namespace

void BookChanges::Entered(MemberNode* top) {
  ForSubtree(top, [this](MemberNode* member) {
    m_rows.insert(member);
    if (member->extra.row) m_removed.erase(member->extra.row);
  });
  Changed(top->nextSibling);
}

void BookChanges::Leaving(MemberNode* top) {
  Changed(top->nextSibling);
  ForSubtree(top, [this](MemberNode* member) {
    m_rows.erase(member);
    if (member->extra.row) m_removed.insert(member->extra.row);
  });
}

void BookChanges::EnteredAlone(MemberNode* member) {
  m_rows.insert(member);
  if (member->extra.row) m_removed.erase(member->extra.row);
}

void BookChanges::Left(MemberNode* member) {
  m_rows.erase(member);
  if (member->extra.row) m_removed.insert(member->extra.row);
}

void BookChanges::Clear() {
  m_rows.clear();
  m_removed.clear();
  m_book = false;
  m_everything = false;
}
