#include "textsearch/text_memory.h"

char* allocateText(size_t size) { return textBlock(size); }

char* allocateZeroedText(size_t size) { return zeroedTextBlock(size); }

void releaseText(char* text) { free(text); }
