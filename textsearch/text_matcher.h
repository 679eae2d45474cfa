// The matcher of the text command: a function of its inputs. A pattern is
// made once per search from the preferences' strings, the case switch and
// the characters of the code page; with it the matcher finds the search
// string in one text from an offset, splices the replacement in at a match,
// and walks the tag rule through a text to make the copy that the results
// dialog shows. It keeps no state: where a text came from, where it goes
// back, which match is current and the buffers that hold them belong to its
// callers, which also carry each text's length.
#pragma once

#include <cstdint>

#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"

// Offsets are signed 16-bit: texts of this length or longer are not
// searched, and a replacement that would make a text this long is refused.
constexpr int32_t TextLengthLimit = 32767;

// What a search looks for: both strings cut to at most 50 bytes of whole
// characters (a stored record may hold no terminator), the search string
// also folded, and the code page's characters, by which texts are searched,
// folded, stepped over and copied one whole character at a time.
struct TextPattern {
  char searchText[TextFieldSize];
  // As a text's bytes compare with it: its one-byte letters folded unless
  // case matters.
  char comparedSearch[TextFieldSize];
  char replaceText[TextFieldSize];
  int16_t searchLength;
  int16_t replaceLength;
  bool caseSensitive;
  // Whether a text compares with the search string byte by byte, each byte
  // folded unless case matters, instead of character by character.
  bool comparesBytes;
  // Neither string holds a caret or a parenthesis as a character of its
  // own, so a replacement can neither make, break nor join a tag.
  bool leavesTagsAlone;
  // By byte, whether a search stops at it: [0] where tags are not stepped
  // over, a byte that starts like the search string (in either case unless
  // case matters); [1] those and the caret.
  bool stops[2][256];
  // Whether a search may skip to those bytes.
  bool skipsToCandidates;
  // By byte, what a text's byte compares as with the search string: folded
  // unless case matters.
  char compared[256];
  // Where the replacement's first '(' and ')' of their own lie, or -1.
  int16_t replaceOpen;
  int16_t replaceClose;
  TextCharacters characters;
};

TextPattern makePattern(const TextSearchPrefs& prefs,
                        const TextCharacters& characters);

constexpr int32_t NoMatch = -1;

// The last search for one character in one text: where it began and what
// it found (-1: nothing up to the end; `from` -1: no search yet). Searches
// mostly move forward through a text, so one that begins within the
// stretch already searched has its answer at once, and a text full of
// carets is not read again for each.
struct CharacterSearch {
  int32_t from = -1;
  int32_t found = -1;
};

// What is known of the parentheses of one text, which decide its tags: kept
// with the text for as long as it is searched and shown, and shifted at
// each replacement (shiftTagSearch).
struct TagSearch {
  CharacterSearch open, close;
};

// Keeps `tags` true of the text once the match at `offset` is replaced.
void shiftTagSearch(TagSearch& tags, const TextPattern& pattern,
                    int32_t offset);

// Where the tag that starts at the character start `at` ends (one past its
// closing parenthesis), or -1 when no tag starts there.
int32_t tagEndAt(const TextCharacters& characters, const char* text,
                 int32_t length, int32_t at, TagSearch& tags);

// Where the first match in `text` (`length` bytes before its terminator) at
// or after `start` begins, or NoMatch. `known` is a character start at or
// before `start` (0 will always do). With `stepOverTags` a match never
// starts inside an inline tag; `tags` is what is known of the text's
// parentheses. Empty texts and search strings, texts of TextLengthLimit
// bytes or more and starts outside the text have no match.
int32_t findMatch(const TextPattern& pattern, const char* text, int32_t length,
                  int32_t start, int32_t known, bool stepOverTags,
                  TagSearch& tags);

// Replaces the search string's bytes at `offset` of `text` (`length` bytes
// and a terminator) by the replacement, in place: `text` has room for the
// new length and the terminator. Answers the new length.
int32_t spliceReplacement(const TextPattern& pattern, char* text,
                          int32_t length, int32_t offset);

// The copy of a text that the results dialog shows leaves its tags out: at
// a caret not followed by a second caret, the bytes from the caret through
// the first closing parenthesis after the first opening parenthesis after
// it. Any other caret is shown like any other character; of a pair, the
// second is looked at afresh.
//
// Where a walk of that rule stands: `text` is a character start outside
// every tag, `shown` the bytes shown before it, and `leadingTags` the
// length of the tags left out before the first shown byte.
struct ShownWalk {
  int32_t text;
  int32_t shown;
  int32_t leadingTags;
};

// A walk's record of the first caret that opens no tag for want of
// parentheses after it: NoLoneCaret in `text` while there is none.
constexpr int32_t NoLoneCaret = -1;

// Walks on from `walk` towards `until` (a character start, at most
// `length`, the text's length): the runs between carets are shown whole,
// and the tag rule is applied at each caret. Where a tag runs over `until`,
// the walk stops at its caret. Copies the bytes shown into `shown` from
// `walk.shown` on when `shown` is not null. Where `lone` still holds
// NoLoneCaret, it takes the walk at the first caret that opens no tag for
// want of parentheses.
void walkShown(const TextCharacters& characters, const char* text,
               int32_t length, ShownWalk& walk, int32_t until, char* shown,
               TagSearch& tags, ShownWalk* lone = nullptr);
// The same, but a tag that runs over `until` is taken whole: the walk ends
// at `until` or past it.
void walkPast(const TextCharacters& characters, const char* text,
              int32_t length, ShownWalk& walk, int32_t until, char* shown,
              TagSearch& tags, ShownWalk* lone = nullptr);
