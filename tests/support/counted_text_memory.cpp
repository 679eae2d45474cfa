#include "tests/support/counted_text_memory.h"

#include <cstdio>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace {
int failAt = 0;
int allocations = 0;
int outstanding = 0;
size_t largest = 0;

// Each block lies between two guards (its size before the first), so that
// a byte written just before its start or past its end stops the test at
// its release, in builds without a sanitizer too. Under the address sanitizer
// both are out of bounds, so a byte read before the block or past its end stops
// the test at once.
constexpr size_t Front = 16;
constexpr char Guard[] = "guard!!";
static_assert(Front >= sizeof(size_t) + sizeof Guard);

// Marks bytes out of bounds, or back in, for the sanitizer.
void bound(char* bytes, size_t size, bool outOfBounds) {
#if defined(__SANITIZE_ADDRESS__)
  if (outOfBounds) {
    ASAN_POISON_MEMORY_REGION(bytes, size);
  } else {
    ASAN_UNPOISON_MEMORY_REGION(bytes, size);
  }
#else
  (void)bytes, (void)size, (void)outOfBounds;
#endif
}

// Both allocators count and fail alike.
char* counted(char* (*block)(size_t), size_t size) {
  ++allocations;
  if (size > largest) largest = size;
  if (failAt != 0 && allocations == failAt) return nullptr;
  char* base = block(Front + size + sizeof Guard);
  if (base == nullptr) return nullptr;
  ++outstanding;
  memcpy(base, &size, sizeof size);
  // What malloc hands out may hold anything: a reader of bytes nobody wrote
  // then sees these, not zeros by chance.
  if (block == textBlock) memset(base + Front, 0xA5, size);
  memcpy(base + Front - sizeof Guard, Guard, sizeof Guard);
  memcpy(base + Front + size, Guard, sizeof Guard);
  bound(base, Front, true);
  bound(base + Front + size, sizeof Guard, true);
  return base + Front;
}

}  // namespace

char* allocateText(size_t size) { return counted(textBlock, size); }

char* allocateZeroedText(size_t size) { return counted(zeroedTextBlock, size); }

void releaseText(char* text) {
  if (text == nullptr) return;
  --outstanding;
  char* base = text - Front;
  bound(base, Front, false);
  size_t size;
  memcpy(&size, base, sizeof size);
  bound(text + size, sizeof Guard, false);
  if (memcmp(text - sizeof Guard, Guard, sizeof Guard) != 0 ||
      memcmp(text + size, Guard, sizeof Guard) != 0) {
    fprintf(stderr, "a text block of %zu bytes was written out of bounds\n",
            size);
    abort();
  }
  free(base);
}

void failTextAllocationAt(int number) {
  failAt = number;
  allocations = 0;
  largest = 0;
}

int textAllocationsOutstanding() { return outstanding; }

size_t largestTextBlock() { return largest; }
