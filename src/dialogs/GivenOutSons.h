// The sons a member gave out to continue another's line (出继), found by the
// records that name him as their 生父.
#pragma once

#include <vector>

class COperationClanbook;
struct MemberNode;

// The sons `member` gave out (出继): those whose records name him as 生父. A
// name is not always his alone; then the book's rule says which namesake a
// record means (book/LifeRecord.h), at the cost of a second walk. One walk
// of the book otherwise, at a pointer test for most members.
std::vector<const MemberNode*> GivenOutSons(const COperationClanbook& tree,
                                            const MemberNode& member);
