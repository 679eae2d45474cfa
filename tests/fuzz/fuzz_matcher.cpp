// The matcher and the display copy on arbitrary texts, search and replace
// strings (possibly without terminators in the stored record) and switches,
// answering each match with a replacement or not.
#include <cstring>

#include "simhost/sim_host.h"
#include "tests/fuzz/fuzz_input.h"
#include "textsearch/text_memory.h"
#include "textsearch/text_session.h"
#include "textsearch/text_walker.h"

namespace T = TextSearchPrefsLayout;

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
  useTextPrefs(&prefs);
  textCursor.tagsAllowed = (switches >> 2) & 1;
  textCursor.kind = static_cast<uint8_t>((switches >> 3) % 10);
  textCursor.textBlockNumber = 1;
  failTextAllocationAt(in.byte() % 16);  // 0: every allocation succeeds
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
    int16_t position = textSession.matchOffset;
    char* shown = displayText(&position);
    if (shown != nullptr) {
      FUZZ_CHECK(static_cast<int32_t>(strlen(shown)) <= length);
      FUZZ_CHECK(position <= textSession.matchOffset);
      releaseText(shown);
    }
    const int16_t replacedBefore = textSession.replacedCount;
    if (answers.bit()) {
      replaceMatch();
    } else {
      textSession.lengthDelta = 0;
    }
    const bool replaced = textSession.replacedCount != replacedBefore;
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
