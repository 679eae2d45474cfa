// Every buffer the text command allocates goes through here. The plug-in
// links text_memory.cpp, which keeps no state; the test builds link
// tests/support/counted_text_memory.cpp in its place, which counts the
// buffers and can make one allocation fail.
#pragma once

#include <cstddef>
#include <cstdlib>

// A zero-filled block of `size` bytes, or null.
char* allocateText(size_t size);
void releaseText(char* text);

// The block both allocators hand out: zero-filled, never of 0 bytes.
inline char* zeroedTextBlock(size_t size) {
  return static_cast<char*>(calloc(size == 0 ? 1 : size, 1));
}
