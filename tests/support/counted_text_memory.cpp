#include "tests/support/counted_text_memory.h"

namespace {
int failAt = 0;
int counted = 0;
int outstanding = 0;
}  // namespace

char* allocateText(size_t size) {
  ++counted;
  if (failAt != 0 && counted == failAt) return nullptr;
  char* text = zeroedTextBlock(size);
  if (text != nullptr) ++outstanding;
  return text;
}

void releaseText(char* text) {
  if (text == nullptr) return;
  --outstanding;
  free(text);
}

void failTextAllocationAt(int number) {
  failAt = number;
  counted = 0;
}

int textAllocationsOutstanding() { return outstanding; }
