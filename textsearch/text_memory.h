// Every buffer the text command allocates goes through here. The plug-in
// links text_memory.cpp, which keeps no state; the test builds link
// tests/support/counted_text_memory.cpp in its place, which counts the
// buffers and can make one allocation fail.
#pragma once

#include <cstddef>
#include <cstdlib>

// A block of `size` bytes that its caller writes before it reads them, or
// null. No caller asks for 0 bytes: every block holds at least a
// terminator.
char* allocateText(size_t size);
// A zero-filled block of `size` bytes, or null: for a buffer that another
// party fills and may fill only in part (a text fetched from the host).
char* allocateZeroedText(size_t size);
void releaseText(char* text);

// The blocks both allocators hand out.
inline char* textBlock(size_t size) {
  return static_cast<char*>(malloc(size));
}
inline char* zeroedTextBlock(size_t size) {
  return static_cast<char*>(calloc(size, 1));
}
