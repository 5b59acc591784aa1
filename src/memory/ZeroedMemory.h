// Large zero-filled memory straight from the system, for the model's tables
// (model/ZeroedArray.h): its pages come zeroed, it is never written twice,
// and asking for it never makes the allocator first tidy the millions of small
// blocks a genealogy just released (which cost a reload a tenth of its time).
// Large blocks are laid out in pages of 2 MB where the system allows, so that
// tables reached at random stay in the processor's translation cache.
//
// The lowest layer: standard C++ and the system's memory calls, nothing else,
// so that the model itself holds no system code.
#pragma once

#include <cstddef>

// `bytes` of zeroed memory, or none when there is no memory. `mapped` tells
// UnmapZeroed how the block was made.
void* MapZeroed(std::size_t bytes, std::size_t& mapped);
void UnmapZeroed(void* data, std::size_t mapped);
