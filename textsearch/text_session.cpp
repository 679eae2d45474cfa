// Works on the TextSearchSession it is handed; keeps nothing of its own.
#include "textsearch/text_session.h"

#include <cstring>

#include "textsearch/text_memory.h"

namespace {

char* textOf(const HeldText& held) { return held.block + held.room.header; }

// The most a held text ever takes after its header: the longest text, its
// terminator and the spare bytes.
int32_t largestCapacity(const RecordRoom& room) {
  return TextLengthLimit + room.spare;
}

// Bytes for a text of `length` and what comes after it; where replacements
// make it longer, room to grow by half, or by one replacement.
int32_t capacityFor(const TextPattern& pattern, int32_t length,
                    const RecordRoom& room) {
  int32_t capacity = length + 1 + room.spare;
  const int32_t growth = pattern.replaceLength - pattern.searchLength;
  if (growth > 0) capacity += length / 2 > growth ? length / 2 : growth;
  const int32_t largest = largestCapacity(room);
  return capacity < largest ? capacity : largest;
}

// Makes a copy of `text` the held text, in a block sized from it; false
// (the held text unchanged) when the block cannot be allocated.
bool holdText(TextSearchSession& session, const char* text, int32_t length,
              const RecordRoom& room) {
  const int32_t capacity = capacityFor(session.pattern, length, room);
  char* block = allocateText(static_cast<size_t>(room.header + capacity));
  if (block == nullptr) return false;
  memcpy(block + room.header, text, static_cast<size_t>(length) + 1);
  dropCurrentText(session);
  session.held = HeldText{block, room, length, capacity, ShownText{}};
  return true;
}

// Gives the held text room for `length` bytes, growing its block by half at
// least; false when the larger block cannot be allocated.
bool makeRoom(HeldText& held, int32_t length) {
  const int32_t needed = length + 1 + held.room.spare;
  if (needed <= held.capacity) return true;
  int32_t capacity = held.capacity + held.capacity / 2;
  if (capacity < needed) capacity = needed;
  if (capacity > largestCapacity(held.room)) {
    capacity = largestCapacity(held.room);
  }
  // The header is written anew at each store: only the text moves.
  char* block = allocateText(static_cast<size_t>(held.room.header + capacity));
  if (block == nullptr) return false;
  memcpy(block + held.room.header, textOf(held),
         static_cast<size_t>(held.length) + 1);
  releaseText(held.block);
  held.block = block;
  held.capacity = capacity;
  return true;
}

// Splices a replacement of the match at `offset` into the shown copy when
// the match lies in a shown run (the mark stands on it) and neither string
// touches a tag; a replacement that empties the start of the copy could
// bring further tags before its first byte. Otherwise the copy is made
// anew when next asked for. The end of the replacement is where the copy
// lines up next.
void spliceShown(ShownText& shown, const TextPattern& pattern, int32_t offset) {
  if (!shown.current) return;
  const int32_t length =
      shown.length - pattern.searchLength + pattern.replaceLength;
  if (!pattern.leavesTagsAlone || shown.mark.text != offset ||
      (shown.mark.shown == 0 && pattern.replaceLength == 0) ||
      length + 1 > shown.capacity) {
    shown.current = false;
    return;
  }
  shown.length =
      spliceReplacement(pattern, shown.bytes, shown.length, shown.mark.shown);
  shown.mark.text += pattern.replaceLength;
  shown.mark.shown += pattern.replaceLength;
}

// Makes the shown copy of the held text anew, run by run.
bool makeShown(HeldText& held, const TextCharacters& characters) {
  ShownText& shown = held.shown;
  if (shown.capacity < held.length + 1) {
    releaseText(shown.bytes);
    shown = ShownText{};
    shown.bytes = allocateText(static_cast<size_t>(held.capacity));
    if (shown.bytes == nullptr) return false;
    shown.capacity = held.capacity;
  }
  ShownWalk walk{0, 0, 0};
  walkShown(characters, textOf(held), held.length, walk, held.length,
            shown.bytes);
  shown.bytes[walk.shown] = '\0';
  shown.length = walk.shown;
  shown.leadingTags = walk.leadingTags;
  shown.current = true;
  shown.mark = ShownWalk{0, 0, 0};
  return true;
}

}  // namespace

void useTextPrefs(TextSearchSession& session, const TextSearchPrefs* prefs,
                  const TextCharacters* characters) {
  session.prefs = prefs;
  session.pattern = makePattern(
      *prefs, characters != nullptr ? *characters : singleByteCharacters());
}

bool sessionSwitch(const TextSearchSession& session, size_t offset) {
  return session.prefs != nullptr && prefsWord(*session.prefs, offset) != 0;
}

bool stepsOverTags(const TextSearchSession& session, int16_t tagsAllowed) {
  return tagsAllowed == 1 &&
         !sessionSwitch(session, TextSearchPrefsLayout::SearchTags);
}

const char* currentText(const TextSearchSession& session) {
  return session.held.block != nullptr ? textOf(session.held) : nullptr;
}

void dropCurrentText(TextSearchSession& session) {
  releaseText(session.held.shown.bytes);
  releaseText(session.held.block);
  session.held = HeldText{};
}

int16_t findInText(TextSearchSession& session, const char* text, int16_t start,
                   bool stepOverTags, RecordRoom room) {
  if (text == nullptr) return 0;
  const int32_t length = static_cast<int32_t>(strlen(text));
  const int32_t at =
      findMatch(session.pattern, text, length, start, 0, stepOverTags);
  if (at == NoMatch || !holdText(session, text, length, room)) return 0;
  session.matchOffset = static_cast<int16_t>(at);
  return 1;
}

int16_t continueInText(TextSearchSession& session, bool stepOverTags) {
  HeldText& held = session.held;
  if (held.block == nullptr) return 0;
  // Just past the match, or past its replacement: a character start.
  const int32_t next =
      session.pattern.searchLength + session.matchOffset + session.lengthDelta;
  if (next >= held.length) return 0;
  const int32_t at = findMatch(session.pattern, textOf(held), held.length, next,
                               next, stepOverTags);
  if (at == NoMatch) return 0;
  session.matchOffset = static_cast<int16_t>(at);
  return 1;
}

const char* replaceCurrentMatch(TextSearchSession& session) {
  // A refused replacement counts as declined, so the search moves on past
  // the match instead of finding it again.
  session.lengthDelta = 0;
  HeldText& held = session.held;
  const TextPattern& pattern = session.pattern;
  const int32_t offset = session.matchOffset;
  if (held.block == nullptr || offset < 0 ||
      offset + pattern.searchLength > held.length) {
    return nullptr;
  }
  const int32_t length =
      held.length - pattern.searchLength + pattern.replaceLength;
  if (length >= TextLengthLimit || !makeRoom(held, length)) return nullptr;
  spliceShown(held.shown, pattern, offset);
  held.length = spliceReplacement(pattern, textOf(held), held.length, offset);
  session.lengthDelta =
      static_cast<int16_t>(pattern.replaceLength - pattern.searchLength);
  ++session.replacedCount;
  return textOf(held);
}

const char* displayText(TextSearchSession& session, int16_t* position) {
  HeldText& held = session.held;
  if (held.block == nullptr) return nullptr;
  ShownText& shown = held.shown;
  const TextCharacters& characters = session.pattern.characters;
  if (!shown.current && !makeShown(held, characters)) return nullptr;
  // Line the copy up with the match, on from where it last lined up; a
  // match inside a tag leaves the mark at the tag.
  const int32_t match = session.matchOffset;
  if (match > shown.mark.text && match <= held.length) {
    walkShown(characters, textOf(held), held.length, shown.mark, match,
              nullptr);
  }
  *position = static_cast<int16_t>(*position - shown.leadingTags);
  return shown.bytes;
}
