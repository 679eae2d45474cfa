// The walker over the ten kinds of text in the document: it visits every
// item of each enabled kind in the order of the kinds table, fetches its
// text and has the session search it, stores a replaced text back where it
// was read, and keeps its place in a TextCursor so that the search can
// resume after the user has answered. The cursor is part of the text
// command's TextSearch (text_search.h); every function here takes it, and
// the session it searches for, as arguments.
#pragma once

#include <cstdint>

#include "host/host_records.h"
#include "textsearch/text_kinds.h"
#include "textsearch/text_session.h"

struct TextCursor {
  uint8_t kind;
  uint8_t key[HostKeyLayout::Size];
  uint32_t tag;
  int32_t recordSize;
  // Where a probe reads the item: `item` for the kinds read into a buffer,
  // null for the others. Set when a kind starts; a cursor is not copied.
  uint8_t* record;
  int16_t tagsAllowed;
  int16_t fullName;
  int16_t staffCount;
  int16_t measureCount;
  int16_t staffSystemCount;
  int16_t textBlockNumber;
  // The current item record of the kinds probed into a buffer.
  uint8_t item[LargestItemSize];
};

uint16_t keyFirst(const TextCursor& cursor);
uint16_t keySecond(const TextCursor& cursor);
int16_t keySubIndex(const TextCursor& cursor);

// The first kind whose switch is on, else KindWhenNoneIsOn.
void chooseFirstKind(TextCursor& cursor, const TextSearchSession& session);
// Starts the walk of the cursor's kind and searches on through the later
// enabled kinds; 1 when a match was found, 0 when none is left.
int16_t startKind(TextCursor& cursor, TextSearchSession& session);
// Moves to the next item of the kind; 1 if there is one.
int16_t advanceItem(TextCursor& cursor);
// Moves to the next enabled kind; 0 (kind unchanged) if there is none.
int16_t nextEnabledKind(TextCursor& cursor, const TextSearchSession& session);
// Searches the current item and the following ones of the kind.
int16_t searchFromCurrentItem(TextCursor& cursor, TextSearchSession& session);
// Fetches the current item's text and searches it from the start.
int16_t searchCurrentItem(TextCursor& cursor, TextSearchSession& session);
// The text of a text block (the caller releases it), or null.
char* fetchTextBlock(TextCursor& cursor, int16_t number);
// The number of consecutive records of a tag from key 1 on.
int16_t countRecords(uint32_t tag, int32_t size);
// Stores `text` as the content of the cursor's current item; a kind whose
// record has a header needs the room findInText was given for it.
void writeBackText(const TextCursor& cursor, HeldText& text);
