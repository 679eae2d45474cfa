// The matcher and the display copy on arbitrary texts, search and replace
// strings (possibly without terminators in the stored record) and switches,
// answering each match with a replacement or not, in a single-byte, a
// double-byte or the UTF-8 code page. Every match lies on character
// boundaries, a replacement leaves every other character as it was, and the
// copy shown at each match is the one a plain walk of the tag rule makes;
// UTF-8 characters are read here independently of the matcher. Strings
// alone: no document, no walker.
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_input.h"
#include "tests/support/counted_text_memory.h"
#include "textsearch/text_session.h"

namespace T = TextSearchPrefsLayout;

namespace {

// The lead bytes of code page 932 (Japanese).
const uint8_t Japanese[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};

// How many continuation bytes (80-BF) a byte of UTF-8 announces.
int utf8Continuations(uint8_t byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return 1;
  if (byte >= 0xE0 && byte <= 0xEF) return 2;
  if (byte >= 0xF0 && byte <= 0xF4) return 3;
  return 0;
}

// Which offsets of `text` start a character (its end counts as one), and
// whether the character that ends at each offset is unfinished: a UTF-8
// lead byte with fewer continuation bytes after it than it announces.
struct Characters {
  std::vector<bool> starts, unfinishedBefore;
};

Characters readCharacters(const char* text, const TextCharacters& table) {
  const size_t length = strlen(text);
  Characters read{std::vector<bool>(length + 1, false),
                  std::vector<bool>(length + 1, false)};
  size_t at = 0;
  while (text[at] != '\0') {
    read.starts[at] = true;
    size_t next = at + 1;
    if (table.form == CharacterForm::Utf8) {
      int wanted = utf8Continuations(static_cast<uint8_t>(text[at]));
      while (wanted > 0 && (static_cast<uint8_t>(text[next]) & 0xC0) == 0x80) {
        ++next;
        --wanted;
      }
      read.unfinishedBefore[next] = wanted > 0;
    } else {
      next = at + characterLength(table, text + at);
    }
    at = next;
  }
  read.starts[at] = true;
  return read;
}

// The copy the results dialog shows of `text`, made byte by byte by the
// tag rule over the character starts read above, and the length of the
// tags it leaves out before its first byte.
std::string plainShown(const std::string& text, const std::vector<bool>& starts,
                       int32_t* leading) {
  auto find = [&](size_t from, char wanted) {
    for (size_t i = from; i < text.size(); ++i) {
      if (text[i] == wanted && starts[i]) return i;
    }
    return std::string::npos;
  };
  std::string shown;
  *leading = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    size_t open = std::string::npos, close = std::string::npos;
    if (starts[i] && text[i] == '^' && text[i + 1] != '^') {
      open = find(i + 1, '(');
      if (open != std::string::npos) close = find(open + 1, ')');
    }
    if (close == std::string::npos) {
      shown += text[i];
      continue;
    }
    if (shown.empty()) *leading += static_cast<int32_t>(close + 1 - i);
    i = close;
  }
  return shown;
}

bool isStart(const std::vector<bool>& starts, int32_t offset) {
  return offset >= 0 && static_cast<size_t>(offset) < starts.size() &&
         starts[offset];
}

}  // namespace

// A text of a few hundred bytes reaches every branch; each check reads the
// whole text, and a replacement may make it longer, so the first matches
// are checked in full and the walk through one text ends after a bound.
FUZZ_MAX_INPUT_BYTES(320)
constexpr int CheckedMatches = 16;
constexpr int MatchesPerText = 64;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  TextSearchSession session{};
  TextSearchPrefs prefs{};
  resetTextSearchPrefs(&prefs);
  const uint8_t switches = in.byte();
  setPrefsWord(prefs, T::CaseSensitive, switches & 1);
  setPrefsWord(prefs, T::SearchTags, (switches >> 1) & 1);
  // Up to 51 bytes in each field: a full field has no terminator.
  const std::string search = in.text(TextFieldSize);
  const std::string replace = in.text(TextFieldSize);
  memcpy(prefs.bytes + T::SearchString, search.data(), search.size());
  memcpy(prefs.bytes + T::ReplaceString, replace.data(), replace.size());
  const uint8_t faults = in.byte();
  failTextAllocationAt(faults % 16);  // 0: every allocation succeeds
  const TextCharacters table =
      (faults & 0x10) != 0   ? doubleByteCharacters(Japanese, sizeof Japanese)
      : (faults & 0x20) != 0 ? utf8Characters()
                             : singleByteCharacters();
  useTextPrefs(session, &prefs, &table);
  const TextPattern& pattern = session.pattern;
  const bool stepOverTags = stepsOverTags(session, (switches >> 2) & 1);
  // Both strings are taken in whole characters.
  FUZZ_CHECK(!readCharacters(pattern.searchText, table)
                  .unfinishedBefore[pattern.searchLength]);
  FUZZ_CHECK(!readCharacters(pattern.replaceText, table)
                  .unfinishedBefore[pattern.replaceLength]);
  const std::string text = in.rest();

  int32_t nextFree = 0;  // matches never start before the previous end
  int16_t found = findInText(session, text.c_str(), 0, stepOverTags);
  FuzzInput answers(data, size);
  // Replaces the match or declines it, as the input says; whether it was
  // replaced.
  auto answer = [&answers, &session] {
    const int32_t replacedBefore = session.replacedCount;
    if (answers.bit()) {
      replaceCurrentMatch(session);
    } else {
      session.lengthDelta = 0;
    }
    return session.replacedCount != replacedBefore;
  };
  for (int match = 0; found != 0 && match < MatchesPerText; ++match) {
    if (match >= CheckedMatches) {
      answer();
      found = continueInText(session, stepOverTags);
      continue;
    }
    const int32_t length = static_cast<int32_t>(strlen(currentText(session)));
    FUZZ_CHECK(length == session.held.length);
    FUZZ_CHECK(session.matchOffset >= nextFree);
    FUZZ_CHECK(session.matchOffset + pattern.searchLength <= length);
    const Characters read = readCharacters(currentText(session), table);
    const std::vector<bool>& starts = read.starts;
    FUZZ_CHECK(isStart(starts, session.matchOffset));
    FUZZ_CHECK(isStart(starts, session.matchOffset + pattern.searchLength));
    const std::string before = currentText(session);
    // The copy shown, kept and spliced by the session, is the one a plain
    // walk of the tag rule makes, and so is the position.
    int16_t position = session.matchOffset;
    const char* shown = displayText(session, &position);
    if (shown != nullptr) {
      int32_t leading = 0;
      FUZZ_CHECK(shown == plainShown(before, starts, &leading));
      FUZZ_CHECK(position == session.matchOffset - leading);
    }
    const bool replaced = answer();
    if (replaced) {
      // The bytes before and after the match are kept, and so are the
      // characters, unless the replacement's bytes join an unfinished UTF-8
      // character before the match.
      const int32_t offset = session.matchOffset;
      const int32_t end = offset + pattern.replaceLength;
      const std::string after = currentText(session);
      FUZZ_CHECK(after.compare(0, offset, before, 0, offset) == 0);
      FUZZ_CHECK(after.compare(end, std::string::npos, before,
                               offset + pattern.searchLength) == 0);
      const std::vector<bool> newStarts =
          readCharacters(currentText(session), table).starts;
      for (int32_t start = 0; start < static_cast<int32_t>(starts.size());
           ++start) {
        if (!starts[start] || read.unfinishedBefore[offset]) continue;
        if (start <= offset) FUZZ_CHECK(isStart(newStarts, start));
        if (start >= offset + pattern.searchLength) {
          FUZZ_CHECK(isStart(
              newStarts, start + pattern.replaceLength - pattern.searchLength));
        }
      }
    }
    nextFree = session.matchOffset +
               (replaced ? pattern.replaceLength : pattern.searchLength);
    found = continueInText(session, stepOverTags);
  }
  dropCurrentText(session);
  FUZZ_CHECK(textAllocationsOutstanding() == 0);
  failTextAllocationAt(0);
  return 0;
}
