// Every buffer the text command allocates goes through here, so that a
// test can make the n-th allocation fail and check that nothing breaks.
#pragma once

#include <cstddef>

// A zero-filled block of `size` bytes, or null.
char* allocateText(size_t size);
void releaseText(char* text);

// Test hook: the allocation with this number (counted from 1 since the
// hook was set) fails; 0 lets every allocation succeed.
void failTextAllocationAt(int number);
// How many allocations were made and not yet released.
int textAllocationsOutstanding();
