// A whole "Yes to all" of the text command on the benchmark host (no call
// log, no allocation per call), beside a floor: a loop that makes the same
// walk's host calls, writes included, fetches each text once and runs
// strstr on it. Two documents: 10,000 texts over all ten kinds, and one at
// the walk's limits (all 1,000 verse, chorus and section texts of 2 KB,
// and 10,000 texts of every other kind). The everyday document is also
// searched in a double-byte code page (932), one character at a time, and
// once more with Greek words in its texts, in the single-byte and the UTF-8
// forms (65001).
//   text_search_benchmark
//   text_search_benchmark --counts command|command932|greek|greek65001|floor
//   (scripts/bench-counts.sh)
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "benchmarks/bench_support.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"
#include "host/host_tags.h"
#include "simhost/sim_host.h"
#include "textsearch/text_search.h"

namespace {

namespace K = HostKeyLayout;

// The replacement is the search string itself, so every run finds and
// writes the same matches and the floor's strstr finds them too.
const char SearchString[] = "cresc.";
constexpr size_t SearchLength = sizeof SearchString - 1;

struct Shape {
  const char* name;
  int perKind;       // texts of each of the seven kinds other than lyrics
  int lyrics;        // verses, choruses and sections, each
  size_t lyricSize;  // bytes of each lyric text (0: a short text)
  bool greek;        // Greek words in every text, in UTF-8
};

std::string sampleText(int i, size_t size, bool greek) {
  // One text in three holds the search string, some of them behind a tag.
  std::string text = "^font(Times)Allegro moderato, bar " + std::to_string(i);
  if (greek) text += " \u03C0\u03B9\u03BF \u03BC\u03BF\u03C3\u03C3\u03BF";
  if (i % 3 == 0) text += " poco a poco cresc.";
  if (i % 7 == 0) text += " ^size(12)cresc. molto";
  while (text.size() < size) text += " la la la lai, " + std::to_string(i);
  if (size != 0) text.resize(size - 1);
  return text;
}

// Staff and group names are two texts a record; text expressions start at
// 0, the other numbered kinds at 1.
void addTextsOfShape(SimDocument& d, const Shape& shape, int* texts) {
  int n = 0;
  auto next = [&n, &shape](size_t size = 0) {
    return sampleText(n++, size, shape.greek);
  };
  const int records = shape.perKind / 2;
  d.addMeasureRecords(static_cast<uint16_t>(shape.perKind));
  d.addStaffSystems(static_cast<uint16_t>(records / 10));
  for (int i = 0; i < shape.perKind; ++i) {
    d.addPageText(static_cast<uint16_t>(i / 10), static_cast<uint16_t>(i % 10),
                  next());
    d.addMeasureText(1, static_cast<uint16_t>(i + 1), 0, next());
    d.addTextExpression(static_cast<uint16_t>(i), next());
    if (i < records) {
      const std::string full = next();
      d.addStaff(static_cast<uint16_t>(i), full, next());
      const std::string group = next();
      // Ten groups in each staff system from the global set (0) on.
      d.addGroup(static_cast<uint16_t>(i / 10),
                 static_cast<uint16_t>(i % 10 + 1), group, next());
    }
    d.addTextRepeat(static_cast<uint16_t>(i + 1), next());
    d.addEndingRepeat(static_cast<uint16_t>(i + 1), next());
  }
  for (int i = 1; i <= shape.lyrics; ++i) {
    d.addLyrics(TagVerseLyrics, static_cast<uint16_t>(i),
                next(shape.lyricSize));
    d.addLyrics(TagChorusLyrics, static_cast<uint16_t>(i),
                next(shape.lyricSize));
    d.addLyrics(TagSectionLyrics, static_cast<uint16_t>(i),
                next(shape.lyricSize));
  }
  *texts = n;
}

TextSearchPrefs prefs;
TextSearch textSearch;  // of every run

// The lead bytes of code page 932 (Japanese).
const uint8_t JapaneseLeadRanges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};

// The preferences of every run, in the code page with `characters`.
void setUpPrefs(const TextCharacters& characters = singleByteCharacters()) {
  resetTextSearchPrefs(&prefs);
  char* search = reinterpret_cast<char*>(prefs.bytes +
                                         TextSearchPrefsLayout::SearchString);
  char* replace = reinterpret_cast<char*>(prefs.bytes +
                                          TextSearchPrefsLayout::ReplaceString);
  strcpy(search, SearchString);
  strcpy(replace, SearchString);
  setPrefsWord(prefs, TextSearchPrefsLayout::ReplaceEnabled, 1);
  for (size_t i = 0; i < TextSearchPrefsLayout::ElementSwitchCount; ++i) {
    setPrefsWord(prefs, TextSearchPrefsLayout::ElementSwitches + 2 * i, 1);
  }
  useTextPrefs(textSearch.session, &prefs, &characters);
}

TextCharacters japanese() {
  return doubleByteCharacters(JapaneseLeadRanges, sizeof JapaneseLeadRanges);
}

volatile int32_t sink;

// "Yes to all" from the first match on, as the results dialog runs it.
void commandPass() {
  TextSearchSession& session = textSearch.session;
  session.foundCount = session.replacedCount = 0;
  session.lengthDelta = 0;
  int16_t found = findFirstMatch(textSearch);
  while (found != 0) {
    ++session.foundCount;
    replaceMatch(textSearch);
    found = findNextMatch(textSearch);
  }
  dropCurrentText(session);
  sink = session.replacedCount;
}

// The floor: the walk's host calls in the walk's order, with one reused
// buffer; each text fetched once (size then fetch), searched with strstr,
// and written back once for each match, as the command writes.
struct Floor {
  std::vector<char> buffer;
  int32_t hits = 0;
  uint8_t key[K::Size] = {};
  uint8_t item[66] = {};

  bool read(uint32_t tag, uint8_t* k, void* into, int32_t* size) {
    return low16(hostReadRecord(tag, k, into, size, InterfaceVersion)) != 0;
  }
  bool probe(uint32_t tag, int32_t size, bool withBuffer) {
    return read(tag, key, withBuffer ? item : nullptr, &size) && size != 0;
  }
  void setKey(uint16_t first, uint16_t second, int16_t subIndex) {
    writeU16(key, K::First, first);
    writeU16(key, K::Second, second);
    writeI16(key, K::SubIndex, subIndex);
  }
  int16_t count(uint32_t tag, int32_t size) {
    uint8_t k[K::Size] = {};
    int16_t n = 0;
    for (;;) {
      writeU16(k, K::First, static_cast<uint16_t>(n + 1));
      int32_t s = size;
      if (!read(tag, k, nullptr, &s)) return n;
      ++n;
    }
  }
  void search(uint32_t tag, uint8_t* k, int32_t header, uint32_t writeTag) {
    int32_t size = 0;
    if (!read(tag, k, nullptr, &size) || size <= header) return;
    if (buffer.size() < static_cast<size_t>(size) + 3) buffer.resize(size + 3);
    int32_t capacity = size;
    if (!read(tag, k, buffer.data(), &capacity)) return;
    buffer[size] = '\0';
    const char* text = buffer.data() + header;
    const uint32_t writeSize = static_cast<uint32_t>(strlen(text)) + 1 +
                               (header != 0 ? header + 2 : 0);
    for (const char* p = strstr(text, SearchString); p != nullptr;
         p = strstr(p + SearchLength, SearchString)) {
      ++hits;
      hostWriteRecord(writeTag, k, buffer.data(), writeSize, InterfaceVersion);
    }
  }
  void searchReference(size_t wordOffset) {
    uint8_t k[K::Size] = {};
    writeU16(k, K::First, readU16(item, wordOffset));
    uint8_t reference[48] = {};
    int32_t size = sizeof reference;
    if (!read(TagTextReference, k, reference, &size)) return;
    writeU16(k, K::First, readU16(reference, 0));
    search(TagTextBlock, k, 0, TagTextBlock);
  }
  void pass() {
    hits = 0;
    // Page texts: the first, then read-next.
    setKey(0, 0, 0);
    if (probe(TagPageTextItem, 24, true)) {
      do searchReference(0);
      while (low16(hostReadNextRecord(TagPageTextItem, key, item, 24,
                                      InterfaceVersion)) != 0);
    }
    // Measure texts: measure by measure, staff by staff, block by block.
    const int16_t staves = count(TagStaff, 66);
    const int16_t measures = count(TagMeasure, 24);
    for (int m = 1; m <= measures; ++m) {
      for (int s = 1; s <= staves; ++s) {
        for (int16_t b = 0;; ++b) {
          setKey(static_cast<uint16_t>(s), static_cast<uint16_t>(m), b);
          if (!probe(TagMeasureTextItem, 10, true)) break;
          searchReference(0);
        }
      }
    }
    // Text expressions, staff names: numbered from 0 until the first gap.
    for (uint16_t n = 0;; ++n) {
      setKey(n, 0, 0);
      if (!probe(TagTextExpression, 14, true)) break;
      search(TagTextExpression, key, 12, TagTextExpression);
    }
    for (uint16_t n = 0;; ++n) {
      setKey(n, 0, 0);
      if (!probe(TagStaff, 66, true)) break;
      searchReference(30);
      searchReference(32);
    }
    // Groups: the global set, then each staff system.
    const int16_t systems = count(TagStaffSystem, 20);
    for (int system = 0; system <= systems; ++system) {
      for (uint16_t g = 1;; ++g) {
        setKey(static_cast<uint16_t>(system), g, 0);
        if (!probe(TagGroup, 30, true)) break;
        searchReference(4);
        searchReference(22);
      }
    }
    for (uint16_t n = 1;; ++n) {
      setKey(n, 0, 0);
      if (!probe(TagTextRepeat, 16, false)) break;
      search(TagTextRepeatText, key, 0, TagTextRepeatText);
    }
    const int16_t endingMeasures = count(TagMeasure, 24);
    for (int n = 1; n <= endingMeasures; ++n) {
      setKey(static_cast<uint16_t>(n), 0, 0);
      if (probe(TagEndingRepeat, 28, false)) {
        search(TagEndingRepeatText, key, 0, TagEndingRepeatText);
      }
    }
    for (uint32_t tag : {TagVerseLyrics, TagChorusLyrics, TagSectionLyrics}) {
      for (uint16_t n = 1; n <= LastLyricNumber; ++n) {
        setKey(n, 0, 0);
        if (probe(tag, 0, false)) search(tag, key, 0, tag);
      }
    }
    sink = hits;
  }
};

Floor floorWalk;
void floorPass() { floorWalk.pass(); }

std::array<uint64_t, 64> callsOf(void (*pass)()) {
  simHost().resetLog();
  pass();
  return simHost().callCounts;
}

struct Figures {
  double commandSeconds, floorSeconds;
};

Figures measure(const Shape& shape, int repetitions) {
  SimDocument* document = new SimDocument();
  int texts = 0;
  addTextsOfShape(*document, shape, &texts);
  simHost().document = document;
  const std::array<uint64_t, 64> command = callsOf(commandPass);
  const int32_t replaced = textSearch.session.replacedCount;
  const std::array<uint64_t, 64> floor = callsOf(floorPass);
  if (command != floor || floorWalk.hits != replaced) {
    fprintf(stderr,
            "%s: the floor does not make the command's host calls "
            "(9: %llu/%llu, 14: %llu/%llu, 10: %llu/%llu)\n",
            shape.name, (unsigned long long)command[9],
            (unsigned long long)floor[9], (unsigned long long)command[14],
            (unsigned long long)floor[14], (unsigned long long)command[10],
            (unsigned long long)floor[10]);
    exit(1);
  }
  Figures f{1e30, 1e30};
  for (int i = 0; i < repetitions; ++i) {
    f.commandSeconds =
        std::min(f.commandSeconds, fastestSeconds(1, commandPass));
    f.floorSeconds = std::min(f.floorSeconds, fastestSeconds(1, floorPass));
  }
  printf(
      "%s: %d texts, %d replaced, %llu host calls; Yes to all %.2f ms "
      "(%.0f ns per text), floor %.2f ms; ratio %.2f; peak memory %.1f MB\n",
      shape.name, texts, floorWalk.hits,
      (unsigned long long)(command[9] + command[14] + command[10]),
      f.commandSeconds * 1e3, f.commandSeconds * 1e9 / texts,
      f.floorSeconds * 1e3, f.commandSeconds / f.floorSeconds,
      peakMemoryKilobytes() / 1024.0);
  simHost().document = nullptr;
  delete document;
  return f;
}

const Shape Everyday{"10,000 texts over ten kinds", 1000, 1000, 0, false};
const Shape Limits{"walk's limits", 10000, 1000, 2048, false};
const Shape EverydayJapanese{"the same in code page 932", 1000, 1000, 0, false};
const Shape EverydayGreek{"the same with Greek words, single-byte", 1000, 1000,
                          0, true};
const Shape EverydayGreekUtf8{"the same with Greek words, in code page 65001",
                              1000, 1000, 0, true};

int countOnly(const char* which) {
  SimDocument document;
  int texts = 0;
  const bool greek = strncmp(which, "greek", 5) == 0;
  addTextsOfShape(document, greek ? EverydayGreek : Everyday, &texts);
  simHost().document = &document;
  if (strcmp(which, "command932") == 0) setUpPrefs(japanese());
  if (strcmp(which, "greek65001") == 0) setUpPrefs(utf8Characters());
  void (*pass)() = strcmp(which, "floor") == 0 ? floorPass : commandPass;
  pass();
  countedPass(pass);
  printf("texts %d\n", texts);
  simHost().document = nullptr;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setUpPrefs();
  simHost().useBenchmarkMode();
  if (argc == 3 && strcmp(argv[1], "--counts") == 0) return countOnly(argv[2]);
  printf("Text command, Yes to all; floor: the same host calls, strstr.\n");
  measure(Limits, 3);
  const Figures everyday = measure(Everyday, 21);
  setUpPrefs(japanese());
  measure(EverydayJapanese, 21);
  setUpPrefs();
  const Figures greek = measure(EverydayGreek, 21);
  setUpPrefs(utf8Characters());
  const Figures greekUtf8 = measure(EverydayGreekUtf8, 21);
  printf("UTF-8 to single-byte, the same Greek texts: %.2f\n",
         greekUtf8.commandSeconds / greek.commandSeconds);
  printf("text command ratio: %.2f\n",
         everyday.commandSeconds / everyday.floorSeconds);
  return 0;
}
