// The walker and the whole "Yes to all" over arbitrary documents: records
// present or absent, of any size, texts without terminators, and a host
// that misreports sizes, fails fetches, refuses writes or answers read-next
// without moving on.
#include <cstring>

#include "host/host_tags.h"
#include "simhost/sim_host.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/support/counted_text_memory.h"
#include "textsearch/text_search.h"

namespace T = TextSearchPrefsLayout;

namespace {

const uint32_t Tags[] = {
    TagPageTextItem,   TagMeasureTextItem,  TagTextExpression, TagStaff,
    TagGroup,          TagTextRepeat,       TagEndingRepeat,   TagVerseLyrics,
    TagChorusLyrics,   TagSectionLyrics,    TagTextReference,  TagTextBlock,
    TagTextRepeatText, TagEndingRepeatText, TagMeasure,        TagStaffSystem,
};

const int32_t SizeErrors[] = {0, 0, 0, 0, -1, 1, -100, 100, -1000000, 40000};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  SimHost& host = simHost();
  const uint8_t faults = in.byte();
  host.sizeError = SizeErrors[in.byte() % 10];
  host.failFetches = (faults & 0x0F) == 1;
  host.refuseWrites = (faults & 2) != 0;
  host.readNextStaysPut = (faults & 4) != 0;
  host.strict = (faults & 8) != 0;

  TextSearchPrefs prefs{};
  resetTextSearchPrefs(&prefs);
  const uint8_t kinds = in.byte();
  for (size_t i = 0; i < T::ElementSwitchCount; ++i) {
    setPrefsWord(prefs, T::ElementSwitches + 2 * i, (kinds >> i) & 1);
  }
  setPrefsWord(prefs, T::CaseSensitive, faults >> 7);
  setPrefsWord(prefs, T::SearchTags, (faults >> 6) & 1);
  std::string search = in.text(6);
  if (search.empty()) search = "a";
  const std::string replace = in.text(6);
  memcpy(prefs.bytes + T::SearchString, search.data(), search.size());
  memcpy(prefs.bytes + T::ReplaceString, replace.data(), replace.size());
  TextSearch textSearch{};
  useTextPrefs(textSearch.session, &prefs);

  SimDocument document;
  const int records = in.byte() % 48;
  for (int i = 0; i < records; ++i) {
    const uint32_t tag = Tags[in.byte() % 16];
    const uint16_t first = in.byte() % 6;
    const uint16_t second = in.byte() % 4;
    const int16_t subIndex = static_cast<int16_t>(in.byte() % 3);
    document.putRecord({tag, first, second, subIndex}, in.bytes(40));
  }
  host.document = &document;
  host.resetLog();
  // The walk probes up to 3,000 lyric numbers: no call log, which would
  // allocate for each call.
  host.quiet = true;

  int16_t found = findFirstMatch(textSearch);
  int steps = 0;
  while (found != 0) {
    FUZZ_CHECK(++steps < 100000);  // a walk that never ends is a fault
    if (in.bit())
      replaceMatch(textSearch);
    else
      textSearch.session.lengthDelta = 0;
    found = findNextMatch(textSearch);
  }
  dropCurrentText(textSearch.session);
  FUZZ_CHECK(textAllocationsOutstanding() == 0);
  FUZZ_CHECK(host.violations.empty());
  host = SimHost();
  return 0;
}
