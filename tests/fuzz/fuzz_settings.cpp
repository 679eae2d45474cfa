// Settings as the registry may hand them over, any bytes in any of the
// three records, followed by a run of each command on the loaded records.
#include <cstring>

#include "entrysearch/entry_engine.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_tags.h"
#include "plugin/settings.h"
#include "simhost/sim_host.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/support/counted_text_memory.h"
#include "textsearch/text_search.h"

namespace {

// A small score with entries, notes and one text of every kind.
void buildScore(SimDocument& score) {
  for (int16_t m = 1; m <= 2; ++m) {
    EntryShape entry;
    entry.flags = 0x40000000u;
    entry.notes = {NoteShape{1, 0, 0x40000000u}, NoteShape{0, 2, 0}};
    score.addEntry(1, m, 0, entry);
    entry.position = 512;
    score.addEntry(1, m, 1, entry);
  }
  score.addMeasureRecords(2);
  score.addStaffSystems(1);
  score.addPageText(0, 0, "abc ^font(x)abc");
  score.addMeasureText(1, 1, 0, "ABC");
  score.addTextExpression(1, "xabcx");
  score.addStaff(1, "abc", "a");
  score.addGroup(1, 1, "b", "abcabc");
  score.addTextRepeat(1, "abc");
  score.addEndingRepeat(2, "abc");
  score.addLyrics(TagVerseLyrics, 5, "abc");
  score.addLyrics(TagChorusLyrics, 1, "abc");
  score.addLyrics(TagSectionLyrics, 1000, "abc");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The three values as stored: whatever bytes there are, the rest zero.
  EntryOptions search{}, replace{};
  TextSearchPrefs prefs{};
  const size_t total = sizeof search + sizeof replace + sizeof prefs;
  std::vector<uint8_t> stored(data, data + std::min(size, total));
  stored.resize(total, 0);
  memcpy(search.bytes, stored.data(), sizeof search);
  memcpy(replace.bytes, stored.data() + sizeof search, sizeof replace);
  memcpy(prefs.bytes, stored.data() + 2 * sizeof search, sizeof prefs);

  SimDocument score(1, 2);
  buildScore(score);
  SimHost& host = simHost();
  host.document = &score;
  host.resetLog();

  const std::vector<uint8_t> region = selectionRegion(1, 1, 0, 1, 2, 4096);
  FUZZ_CHECK(runEntrySearch(&search, &replace, region.data()) >= 0);
  FUZZ_CHECK(host.lentFrames.empty());

  // The walk probes up to 3,000 lyric numbers: no call log, which would
  // allocate for each call.
  host.quiet = true;
  // The options dialog would refuse an empty search string; the walk is
  // still safe with one.
  TextSearch textSearch{};
  useTextPrefs(textSearch.session, &prefs);
  int16_t found = findFirstMatch(textSearch);
  int steps = 0;
  while (found != 0) {
    FUZZ_CHECK(++steps < 100000);
    if (prefsWord(prefs, TextSearchPrefsLayout::ReplaceEnabled) != 0) {
      replaceMatch(textSearch);
    } else {
      textSearch.session.lengthDelta = 0;
    }
    found = findNextMatch(textSearch);
  }
  dropCurrentText(textSearch.session);
  FUZZ_CHECK(textAllocationsOutstanding() == 0);
  FUZZ_CHECK(host.violations.empty());
  host = SimHost();
  return 0;
}
