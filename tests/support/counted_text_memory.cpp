#include "tests/support/counted_text_memory.h"

namespace {
int failAt = 0;
int allocations = 0;
int outstanding = 0;

// Both allocators count and fail alike.
char* counted(char* (*block)(size_t), size_t size) {
  ++allocations;
  if (failAt != 0 && allocations == failAt) return nullptr;
  char* text = block(size);
  if (text != nullptr) ++outstanding;
  return text;
}

}  // namespace

char* allocateText(size_t size) { return counted(textBlock, size); }

char* allocateZeroedText(size_t size) { return counted(zeroedTextBlock, size); }

void releaseText(char* text) {
  if (text == nullptr) return;
  --outstanding;
  free(text);
}

void failTextAllocationAt(int number) {
  failAt = number;
  allocations = 0;
}

int textAllocationsOutstanding() { return outstanding; }
