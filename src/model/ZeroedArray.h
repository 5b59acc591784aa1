// A fixed-size array of zero-filled plain values. A large one is mapped
// straight from the system (memory/ZeroedMemory.h): the name index reaches it
// at random, one slot per name, and it must come zeroed without being written.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "memory/ZeroedMemory.h"

template <class T>
class ZeroedArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
  ZeroedArray() = default;
  explicit ZeroedArray(std::size_t n) : m_size(n) {
    if (n == 0) return;
    m_data = static_cast<T*>(MapZeroed(n * sizeof(T), m_mapped));
    if (!m_data) throw std::bad_alloc();
  }
  ZeroedArray(ZeroedArray&& other) noexcept { swap(other); }
  ZeroedArray& operator=(ZeroedArray&& other) noexcept {
    ZeroedArray(std::move(other)).swap(*this);
    return *this;
  }
  ~ZeroedArray() { UnmapZeroed(m_data, m_mapped); }

  void swap(ZeroedArray& other) noexcept {
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    std::swap(m_mapped, other.m_mapped);
  }
  bool empty() const { return m_size == 0; }
  std::size_t size() const { return m_size; }
  T* data() { return m_data; }
  const T* data() const { return m_data; }
  T& operator[](std::size_t i) { return m_data[i]; }
  const T& operator[](std::size_t i) const { return m_data[i]; }
  T* begin() { return m_data; }
  T* end() { return m_data + m_size; }
  const T* begin() const { return m_data; }
  const T* end() const { return m_data + m_size; }

private:
  T* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_mapped = 0;  // bytes mapped from the system; none: from the heap
};
