// The state of one interactive text search: the preferences and pattern it
// searches with, what it has found and replaced, and the text that holds the
// current match. It lives in the text command's TextSearch (text_search.h),
// never in a global; the functions below take it as their argument.
#pragma once

#include <cstdint>

#include "host/host_services.h"
#include "textsearch/text_matcher.h"
#include "textsearch/text_prefs.h"

struct TextSearchSession {
  HostWindow resultsDialog;
  // 32-bit: a "Yes to all" over a large score can pass 32,767 matches.
  int32_t foundCount;
  int32_t replacedCount;
  int16_t matchOffset;  // of the current match in currentText
  int16_t lengthDelta;  // replacement less search length after a replace
  char* currentText;    // owned copy of the text holding the match
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
bool stepsOverTags(const TextSearchSession& session, int16_t tagsAllowed);
// Releases the current text.
void dropCurrentText(TextSearchSession& session);
// Searches `text` from `start`; 1 when a match was found (the session then
// holds it and a copy of the whole text), 0 otherwise.
int16_t findInText(TextSearchSession& session, const char* text, int16_t start,
                   bool stepOverTags);
// Searches the current text again after the current match or replacement.
int16_t continueInText(TextSearchSession& session, bool stepOverTags);
// Replaces the current match in the current text and counts it; answers
// the new text, which the caller stores back, or null when nothing was
// replaced.
const char* replaceCurrentMatch(TextSearchSession& session);
// A copy of the current text without tags, the position corrected in
// place; null when it cannot be made. The caller releases it.
char* displayText(const TextSearchSession& session, int16_t* position);
