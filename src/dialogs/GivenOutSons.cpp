#include "dialogs/GivenOutSons.h"

#include "book/LifeRecord.h"
#include "model/COperationClanbook.h"

std::vector<const MemberNode*> GivenOutSons(const COperationClanbook& tree,
                                            const MemberNode& member) {
  struct Found {
    std::vector<const MemberNode*> sons;
    int bearers = 0;
  } found;
  tree.VisitPreOrder(found, tree.Root(), [&member](Found& f, MemberNode* m) {
    if (m->name == member.name) ++f.bearers;
    if (m->extra.HasRecord() && m->parent && m->extra.Record().birthFather == member.name)
      f.sons.push_back(m);
  });
  if (found.sons.empty()) return {};
  if (found.bearers > 1) return book::BookContext(tree, {}).GivenOut(member);
  // His name alone: the rule leaves only that a son's adoptive father stands
  // in the birth father's 世.
  const auto depth = [](const MemberNode* m) {
    int d = 0;
    for (; m->parent; m = m->parent) ++d;
    return d;
  };
  const int own = depth(&member);
  std::erase_if(found.sons, [&](const MemberNode* son) {
    return son->parent == &member || depth(son->parent) != own;
  });
  return found.sons;
}
