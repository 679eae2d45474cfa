// The state of one interactive text search: the preferences and pattern it
// searches with, what it has found and replaced, and the text that holds the
// current match with the copy of it that the results dialog shows. It lives
// in the text command's TextSearch (text_search.h), never in a global; the
// functions below take it as their argument.
#pragma once

#include <cstdint>

#include "host/host_services.h"
#include "textsearch/text_matcher.h"
#include "textsearch/text_prefs.h"

// Room kept around a held text so that it can be stored back as a record
// without another copy: `header` bytes before the text, and `spare` bytes
// after its terminator that the record's size counts.
struct RecordRoom {
  int32_t header;
  int32_t spare;
};

// The copy of the held text without its tags (text_matcher.h), as the
// results dialog shows it: made in one walk when first asked for and kept
// for the life of the text. A replacement that cannot change which bytes
// are tags is spliced into it (or, inside a tag, changes nothing shown);
// any other has the stretch of the text it can reach walked again.
struct ShownText {
  char* bytes;  // owned, or null
  int32_t capacity;
  int32_t length;
  int32_t leadingTags;  // length of the tags before its first byte
  bool current;         // made from the text as it stands
  // Where the text and the copy line up, at or before the current match:
  // at the match itself once it has been shown, if it lies in a shown run,
  // else at the caret of the tag it lies in.
  ShownWalk mark;
  // The walk at the first caret that opens no tag for want of parentheses
  // (every later caret is ordinary too), NoLoneCaret, or LoneCaretUnknown.
  // Only a replacement that brings a parenthesis reads it, so only the
  // walks that such a search makes keep it.
  ShownWalk lone;
};

constexpr int32_t LoneCaretUnknown = -2;

// The text that holds the current match, kept from its first match until a
// match in another text or the end of the search: one block, sized from
// the text, that also holds the record's room around it.
struct HeldText {
  char* block;  // owned, or null when no text is held; the text at
                // `room.header`
  RecordRoom room;
  int32_t length;    // of the text
  int32_t capacity;  // bytes from the text on: the text, its terminator, the
                     // spare bytes and room for longer replacements
  TagSearch tags;    // what is known of its parentheses
  ShownText shown;
  // The text's length when the record's header and spare bytes were last
  // written around it (-1: not yet); they stay while the length does.
  int32_t recordLength;
};

struct TextSearchSession {
  HostWindow resultsDialog;
  // 32-bit: a "Yes to all" over a large score can pass 32,767 matches.
  int32_t foundCount;
  int32_t replacedCount;
  // Of the current match in the held text, never past its end: a
  // replacement there ends at it or behind it.
  int16_t matchOffset;
  int16_t lengthDelta;  // replacement less search length after a replace
  HeldText held;        // the text that holds the current match
  // The switches of this search (kinds, tags) and what it looks for.
  const TextSearchPrefs* prefs;
  TextPattern pattern;
};

// Points the session at a preferences record and makes its pattern, in the
// code page with `characters` (none: a single-byte code page).
void useTextPrefs(TextSearchSession& session, const TextSearchPrefs* prefs,
                  const TextCharacters* characters = nullptr);
// Whether a switch of the session's preferences is on.
bool sessionSwitch(const TextSearchSession& session, size_t offset);
// Whether the matcher steps over inline tags in texts of a kind with
// `tagsAllowed`: only where they may hold tags and tags are not searched.
inline bool stepsOverTags(const TextSearchSession& session,
                          int16_t tagsAllowed) {
  return tagsAllowed == 1 &&
         !sessionSwitch(session, TextSearchPrefsLayout::SearchTags);
}
// The text that holds the current match (terminated), or null.
const char* currentText(const TextSearchSession& session);
// Releases the current text and its shown copy.
void dropCurrentText(TextSearchSession& session);
// Searches `text` (not null) from `start`; 1 when a match was found (the
// session then holds it and a copy of the whole text with `room` around it), 0
// otherwise.
int16_t findInText(TextSearchSession& session, const char* text, int16_t start,
                   bool stepOverTags, RecordRoom room = RecordRoom{0, 0});
// Searches the current text again after the current match or replacement.
int16_t continueInText(TextSearchSession& session, bool stepOverTags);
// Replaces the current match in the current text and counts it; answers
// the new text, which the caller stores back, or null when nothing was
// replaced.
const char* replaceCurrentMatch(TextSearchSession& session);
// The current text without its tags, kept by the session until the text
// changes or is dropped, and the position corrected in place: moved back by
// the tags before the first shown character. Null when it cannot be made.
const char* displayText(TextSearchSession& session, int16_t* position);
