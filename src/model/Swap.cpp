#include <utility>

#include "COperationClanbook.h"
#include "NameIndex.h"

void COperationClanbook::Swap(COperationClanbook& other) noexcept {
  std::swap(m_root, other.m_root);
  m_index.swap(other.m_index);
  // The remembered family belongs to the members it points into.
  std::swap(m_tail, other.m_tail);
}
