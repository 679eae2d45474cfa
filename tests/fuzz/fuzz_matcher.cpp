// The matcher and the display copy on arbitrary texts, search and replace
// strings (possibly without terminators in the stored record) and switches,
// answering each match with a replacement or not, in a single-byte or a
// double-byte code page. In the latter, every match lies on character
// boundaries and a replacement leaves every other character as it was.
#include <cstring>
#include <vector>

#include "simhost/sim_host.h"
#include "tests/fuzz/fuzz_input.h"
#include "textsearch/text_memory.h"
#include "textsearch/text_session.h"
#include "textsearch/text_walker.h"

namespace T = TextSearchPrefsLayout;

namespace {

// The lead bytes of code page 932 (Japanese).
const uint8_t Japanese[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};

// Which offsets of `text` start a character (its end counts as one).
std::vector<bool> characterStarts(const char* text,
                                  const LeadByteTable* table) {
  std::vector<bool> starts(strlen(text) + 1, false);
  int32_t at = 0;
  for (; text[at] != '\0'; at += characterLength(table, text + at)) {
    starts[at] = true;
  }
  starts[at] = true;
  return starts;
}

bool isStart(const std::vector<bool>& starts, int32_t offset) {
  return offset >= 0 && static_cast<size_t>(offset) < starts.size() &&
         starts[offset];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
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
  textCursor.tagsAllowed = (switches >> 2) & 1;
  textCursor.kind = static_cast<uint8_t>((switches >> 3) % 10);
  textCursor.textBlockNumber = 1;
  const uint8_t faults = in.byte();
  failTextAllocationAt(faults % 16);  // 0: every allocation succeeds
  const LeadByteTable japanese = leadBytesFromRanges(Japanese, sizeof Japanese);
  const LeadByteTable* table = (faults & 0x10) != 0 ? &japanese : nullptr;
  useTextPrefs(&prefs, table);
  const std::string text = in.rest();

  SimDocument document;
  simHost().document = &document;
  simHost().resetLog();
  textSession.lengthDelta = 0;
  textSession.replacedCount = 0;
  int32_t nextFree = 0;  // matches never start before the previous end
  int16_t found = findInText(text.c_str(), 0);
  FuzzInput answers(data, size);
  while (found != 0) {
    const int32_t length =
        static_cast<int32_t>(strlen(textSession.currentText));
    FUZZ_CHECK(textSession.matchOffset >= nextFree);
    FUZZ_CHECK(textSession.matchOffset + textSession.searchLength <= length);
    const std::vector<bool> starts =
        characterStarts(textSession.currentText, table);
    FUZZ_CHECK(isStart(starts, textSession.matchOffset));
    FUZZ_CHECK(
        isStart(starts, textSession.matchOffset + textSession.searchLength));
    const std::string before = textSession.currentText;
    int16_t position = textSession.matchOffset;
    char* shown = displayText(&position);
    if (shown != nullptr) {
      FUZZ_CHECK(static_cast<int32_t>(strlen(shown)) <= length);
      FUZZ_CHECK(position <= textSession.matchOffset);
      releaseText(shown);
    }
    const int32_t replacedBefore = textSession.replacedCount;
    if (answers.bit()) {
      replaceMatch();
    } else {
      textSession.lengthDelta = 0;
    }
    const bool replaced = textSession.replacedCount != replacedBefore;
    if (replaced) {
      // The bytes and characters before and after the match are kept.
      const int32_t offset = textSession.matchOffset;
      const int32_t end = offset + textSession.replaceLength;
      const std::string after = textSession.currentText;
      FUZZ_CHECK(after.compare(0, offset, before, 0, offset) == 0);
      FUZZ_CHECK(after.compare(end, std::string::npos, before,
                               offset + textSession.searchLength) == 0);
      const std::vector<bool> newStarts =
          characterStarts(textSession.currentText, table);
      for (int32_t start = 0; start < static_cast<int32_t>(starts.size());
           ++start) {
        if (!starts[start]) continue;
        if (start <= offset) FUZZ_CHECK(isStart(newStarts, start));
        if (start >= offset + textSession.searchLength) {
          FUZZ_CHECK(isStart(newStarts, start + textSession.replaceLength -
                                            textSession.searchLength));
        }
      }
    }
    nextFree = textSession.matchOffset + (replaced ? textSession.replaceLength
                                                   : textSession.searchLength);
    found = continueInText();
  }
  dropCurrentText();
  FUZZ_CHECK(textAllocationsOutstanding() == 0);
  FUZZ_CHECK(simHost().violations.empty());
  failTextAllocationAt(0);
  simHost().document = nullptr;
  return 0;
}
