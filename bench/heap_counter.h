#pragma once

#include <cstddef>

// Counts the bytes this program holds through operator new, so that a benchmark can tell the
// peak heap of a piece of work. Single-threaded use only.
namespace heap_counter {

std::size_t liveBytes();

// Starts a new peak at the bytes held now.
void resetPeak();
std::size_t peakBytes();

} // namespace heap_counter
