// The text command's allocator as the test builds link it (in place of
// textsearch/text_memory.cpp): it counts the buffers not yet released and
// can make one allocation fail, so that a test can check that nothing
// breaks or leaks when memory runs out. Its three counters, in
// counted_text_memory.cpp, exist in the test builds alone.
#pragma once

#include "textsearch/text_memory.h"

// The allocation with this number (counted from 1 since this call) fails;
// 0 lets every allocation succeed. Also starts the count of the largest
// block anew.
void failTextAllocationAt(int number);
// How many allocations were made and not yet released.
int textAllocationsOutstanding();
// The most bytes asked for in one block since failTextAllocationAt.
size_t largestTextBlock();
