#include "COperationClanbook.h"

#include <utility>

void COperationClanbook::Swap(COperationClanbook& other) noexcept {
  std::swap(m_root, other.m_root);
  m_index.swap(other.m_index);
}
