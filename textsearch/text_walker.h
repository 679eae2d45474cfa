// The walker over the ten kinds of text in the document: it visits every
// item of each enabled kind in a fixed order, fetches its text and hands it
// to the matcher, and keeps its place in one cursor so that the search can
// resume after the user has answered.
#pragma once

#include <cstdint>

#include "host/host_records.h"
#include "textsearch/text_kinds.h"

struct TextCursor {
  uint8_t kind;
  uint8_t key[HostKeyLayout::Size];
  uint32_t tag;
  int32_t recordSize;
  uint8_t* record;  // the kind's buffer below, or null (kinds 5 to 9)
  int16_t tagsAllowed;
  int16_t fullName;
  int16_t staffCount;
  int16_t measureCount;
  int16_t staffSystemCount;
  int16_t textBlockNumber;
  uint8_t pageItem[PageItemSize];
  uint8_t measureItem[MeasureItemSize];
  uint8_t expressionItem[ExpressionItemSize];
  uint8_t staffItem[StaffItemSize];
  uint8_t groupItem[GroupItemSize];
};

extern TextCursor textCursor;

// The cursor's item buffer of a kind, or null for the kinds probed without.
uint8_t* itemBuffer(uint8_t kind);

uint16_t keyFirst();
uint16_t keySecond();
int16_t keySubIndex();

// The first kind among 0 to 6 whose switch is on, else 7.
void chooseFirstKind();
// Starts the walk of the cursor's kind and searches on through the later
// enabled kinds; 1 when a match was found, 0 when none is left.
int16_t startKind();
// Moves to the next item of the kind; 1 if there is one.
int16_t advanceItem();
// Moves to the next enabled kind; 0 (kind unchanged) if there is none.
int16_t nextEnabledKind();
// The first match of the whole walk: from the first enabled kind on.
int16_t findFirstMatch();
// The next match after the current one: later in the same text, then in
// the following items of the kind, then in the following kinds.
int16_t findNextMatch();
// Searches the current item and the following ones of the kind.
int16_t searchFromCurrentItem();
// Fetches the current item's text and searches it from the start.
int16_t searchCurrentItem();
// The text of a text block (the caller releases it), or null.
char* fetchTextBlock(int16_t number);
// The number of consecutive records of a tag from key 1 on.
int16_t countRecords(uint32_t tag, int32_t size);
