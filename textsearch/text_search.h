// One interactive text search: its session (what it searches with and has
// found) and the walker's cursor (where it stands in the document). The text
// command makes one for each run of the results dialog and hands it over;
// nothing of a search lives in a global.
#pragma once

#include <cstdint>

#include "textsearch/text_session.h"
#include "textsearch/text_walker.h"

struct TextSearch {
  TextSearchSession session;
  TextCursor cursor;
};

// The first match of the whole walk: from the first enabled kind on.
int16_t findFirstMatch(TextSearch& search);
// The next match after the current one: later in the same text, then in
// the following items of the kind, then in the following kinds.
int16_t findNextMatch(TextSearch& search);
// Replaces the current match, stores the text back where it was read, and
// counts it.
void replaceMatch(TextSearch& search);
