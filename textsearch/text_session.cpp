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
  session.held =
      HeldText{block, room, length, capacity, TagSearch{}, ShownText{}, -1};
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
  // Only the text moves: the record around it is written anew at the next
  // store, as the text is then longer.
  char* block = allocateText(static_cast<size_t>(held.room.header + capacity));
  if (block == nullptr) return false;
  memcpy(block + held.room.header, textOf(held),
         static_cast<size_t>(held.length) + 1);
  releaseText(held.block);
  held.block = block;
  held.capacity = capacity;
  return true;
}

// Whether the character before `at` is a caret of its own.
bool caretBefore(const TextCharacters& characters, const char* text,
                 int32_t at) {
  return at > 0 && text[at - 1] == '^' &&
         (characters.form != CharacterForm::DoubleByte ||
          startsDoubleByteCharacter(characters, text, at - 1, 0));
}

// Replaces the match at `offset` in the held text (which has room for it)
// and keeps what is known of its tags true.
void spliceHeld(HeldText& held, const TextPattern& pattern, int32_t offset) {
  held.length = spliceReplacement(pattern, textOf(held), held.length, offset);
  shiftTagSearch(held.tags, pattern, offset);
}

// A replacement that cannot change which bytes are tags: spliced into the
// copy where the match lies in a shown run (the mark stands on it), nothing
// shown changed where it lies in a tag (the mark stands on the tag's
// caret). Answers false when the copy has no room for it.
bool keepShown(HeldText& held, const TextPattern& pattern, int32_t offset) {
  ShownText& shown = held.shown;
  const ShownWalk mark = shown.mark;
  const int32_t delta = pattern.replaceLength - pattern.searchLength;
  if (mark.text == offset && shown.length + delta + 1 > shown.capacity) {
    return false;
  }
  spliceHeld(held, pattern, offset);
  if (mark.text != offset) {
    if (mark.shown == 0) shown.leadingTags += delta;  // a leading tag
    return true;
  }
  shown.length =
      spliceReplacement(pattern, shown.bytes, shown.length, mark.shown);
  shown.mark.text += pattern.replaceLength;
  shown.mark.shown += pattern.replaceLength;
  if (mark.shown == 0 && pattern.replaceLength == 0) {
    // The copy's start emptied: the tags that now open it lead it too.
    const char* text = textOf(held);
    for (int32_t at = offset, end; at < held.length; at = end) {
      end = tagEndAt(pattern.characters, text, held.length, at, held.tags);
      if (end < 0) break;
      shown.leadingTags += end - at;
    }
  }
  return true;
}

// A replacement that can change which bytes are tags: the text is walked
// again from the earliest caret whose tag it can open, close or pair (the
// caret of the tag the match lies in, a caret just before it, or the first
// caret that opens no tag for want of parentheses when the replacement
// brings one) until the walk meets the old one behind the replacement;
// the copy's bytes between are replaced. Replaces the match in the text in
// every case; answers false (the copy then made anew when next asked for)
// when the copy could not be kept.
bool rewalkShown(HeldText& held, const TextPattern& pattern, int32_t offset) {
  ShownText& shown = held.shown;
  const TextCharacters& characters = pattern.characters;
  ShownWalk start = shown.mark;
  if (start.text == offset && caretBefore(characters, textOf(held), offset)) {
    start = ShownWalk{offset - 1, start.shown - 1, start.leadingTags};
  }
  const bool bringsParenthesis =
      pattern.replaceOpen >= 0 || pattern.replaceClose >= 0;
  if (bringsParenthesis) {
    if (shown.lone.text == LoneCaretUnknown) {
      spliceHeld(held, pattern, offset);
      return false;
    }
    if (shown.lone.text != NoLoneCaret && shown.lone.text < start.text) {
      start = ShownWalk{shown.lone.text, shown.lone.shown, shown.leadingTags};
    }
  }
  // The old walk, to the first place it stands at behind the match.
  ShownWalk old = start;
  walkPast(characters, textOf(held), held.length, old,
           offset + pattern.searchLength, nullptr, held.tags);
  spliceHeld(held, pattern, offset);
  const char* text = textOf(held);
  const int32_t length = held.length;
  const int32_t delta = pattern.replaceLength - pattern.searchLength;
  old.text += delta;
  // Behind the replacement both walks read the same bytes: once they stand
  // at the same place they go on alike.
  ShownWalk walk = start;
  ShownWalk lone{NoLoneCaret, 0, 0};
  while (walk.text != old.text) {
    if (walk.text < old.text) {
      walkPast(characters, text, length, walk, old.text, nullptr, held.tags,
               &lone);
    } else {
      walkPast(characters, text, length, old, walk.text, nullptr, held.tags);
    }
  }
  // A copy whose start emptied takes the tags that now lead it; behind
  // them both walks stand at the first byte shown.
  while (walk.shown == 0 && walk.text < length) {
    walkPast(characters, text, length, walk,
             nextCharacter(characters, text, walk.text), nullptr, held.tags,
             &lone);
    old.shown += walk.shown;
  }
  const int32_t newLength = walk.shown + shown.length - old.shown;
  if (newLength + 1 > shown.capacity) return false;
  memmove(shown.bytes + walk.shown, shown.bytes + old.shown,
          static_cast<size_t>(shown.length - old.shown) + 1);
  // The new bytes, and the mark where the search goes on.
  ShownWalk copy = start;
  walkShown(characters, text, length, copy, offset + pattern.replaceLength,
            shown.bytes, held.tags);
  shown.mark = copy;
  walkShown(characters, text, length, copy, walk.text, shown.bytes, held.tags);
  shown.length = newLength;
  if (start.shown == 0) shown.leadingTags = walk.leadingTags;
  // The first lone caret: before the stretch, found in it, or behind it.
  ShownWalk& first = shown.lone;
  if (first.text == LoneCaretUnknown ||
      (first.text != NoLoneCaret && first.text < start.text)) {
    return true;
  }
  if (lone.text != NoLoneCaret) {
    first = lone;
  } else if (first.text != NoLoneCaret) {
    if (first.text + delta >= walk.text) {
      first.text += delta;
      first.shown += walk.shown - old.shown;
    } else {
      first.text = LoneCaretUnknown;
    }
  }
  return true;
}

// Makes the shown copy of the held text anew in one walk, lining it up with
// the match at `match` on the way.
bool makeShown(HeldText& held, const TextCharacters& characters,
               int32_t match) {
  ShownText& shown = held.shown;
  if (shown.capacity < held.length + 1) {
    releaseText(shown.bytes);
    shown = ShownText{};
    shown.bytes = allocateText(static_cast<size_t>(held.capacity));
    if (shown.bytes == nullptr) return false;
    shown.capacity = held.capacity;
  }
  ShownWalk walk{0, 0, 0};
  ShownWalk lone{NoLoneCaret, 0, 0};
  const char* text = textOf(held);
  walkShown(characters, text, held.length, walk, match, shown.bytes, held.tags,
            &lone);
  shown.mark = walk;
  walkShown(characters, text, held.length, walk, held.length, shown.bytes,
            held.tags, &lone);
  shown.bytes[walk.shown] = '\0';
  shown.length = walk.shown;
  shown.leadingTags = walk.leadingTags;
  shown.lone = lone;
  shown.current = true;
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
  const int32_t length = static_cast<int32_t>(strlen(text));
  TagSearch tags;
  const int32_t at =
      findMatch(session.pattern, text, length, start, 0, stepOverTags, tags);
  if (at == NoMatch || !holdText(session, text, length, room)) return 0;
  session.held.tags = tags;
  session.matchOffset = static_cast<int16_t>(at);
  return 1;
}

int16_t continueInText(TextSearchSession& session, bool stepOverTags) {
  HeldText& held = session.held;
  // Just past the match, or past its replacement: a character start. With
  // no text held the length is 0, and the search ends here.
  const int32_t next =
      session.pattern.searchLength + session.matchOffset + session.lengthDelta;
  if (next >= held.length) return 0;
  const int32_t at = findMatch(session.pattern, textOf(held), held.length, next,
                               next, stepOverTags, held.tags);
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
  ShownText& shown = held.shown;
  if (!shown.current) {
    spliceHeld(held, pattern, offset);
  } else {
    // Line the copy up with the match: it may not have been shown.
    if (shown.mark.text < offset) {
      walkShown(pattern.characters, textOf(held), held.length, shown.mark,
                offset, nullptr, held.tags);
    }
    const char* text = textOf(held);
    // A caret on each side of an emptied match pair up.
    const bool pairsCarets = pattern.replaceLength == 0 &&
                             text[offset + pattern.searchLength] == '^' &&
                             caretBefore(pattern.characters, text, offset);
    bool kept = false;
    if (shown.mark.text > offset) {
      spliceHeld(held, pattern, offset);
    } else if (pattern.leavesTagsAlone && !pairsCarets) {
      kept = keepShown(held, pattern, offset);
      if (!kept) spliceHeld(held, pattern, offset);
    } else {
      kept = rewalkShown(held, pattern, offset);
    }
    shown.current = kept;
  }
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
  // Line the copy up with the match, on from where it last lined up; a
  // match inside a tag leaves the mark at the tag.
  const int32_t match = session.matchOffset;
  if (!shown.current) {
    if (!makeShown(held, characters, match)) return nullptr;
  } else if (match > shown.mark.text) {
    walkShown(characters, textOf(held), held.length, shown.mark, match, nullptr,
              held.tags);
  }
  *position = static_cast<int16_t>(*position - shown.leadingTags);
  return shown.bytes;
}
