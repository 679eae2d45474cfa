// The matcher of the text command: finds, continues, replaces and writes
// back matches in one text at a time, and makes the copy of a text that the
// results dialog shows.
#pragma once

#include <cstdint>

#include "textsearch/text_session.h"

// Searches `text` from `start`; 1 when a match was found (the session then
// holds it), 0 otherwise.
int16_t findInText(const char* text, int16_t start);
// Searches the current text again after the current match or replacement.
int16_t continueInText();
// Replaces the current match, writes the text back and counts it.
void replaceMatch();
// Stores `text` as the content of the walker's current item.
void writeBackText(const char* text);
// A copy of the current text without tags, the position corrected in
// place; null when it cannot be made. The caller releases it.
char* displayText(int16_t* position);
// A copy of a string in a new allocation, or null.
char* duplicateText(const char* text);
