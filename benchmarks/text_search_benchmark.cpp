// A whole "Yes to all" of the text command on the benchmark host (no call
// log, no allocation per call), beside floors.
//
// Many short texts: the command alone (no dialog) beside a loop that makes
// the same walk's host calls, writes included, fetches each text once and
// runs strstr on it. Two documents: 10,000 texts over all ten kinds, and one
// at the walk's limits (all 1,000 verse, chorus and section texts of 2 KB,
// and 10,000 texts of every other kind). The everyday document is also
// searched in a double-byte code page (932), one character at a time, and
// once more with Greek words in its texts, in the single-byte and the UTF-8
// forms (65001).
//
// One long text of 1 to 32 KB with a match every 10 to 14 bytes, in the
// single-byte form and in code pages 932, 65001 and 936 (LongCases): a verse
// whose matches are replaced by a string of the same length, a longer or a
// shorter one, one holding a caret or a parenthesis, or an empty one that
// empties the start of the shown text at each match; a text expression
// whose matches lie inside its tags; a verse of lone carets with a '(' at
// its end; and, in 936, one Chinese character repeated, searched for its
// bytes the other way round. "Yes to all" as the results dialog runs it (its
// own code, the Windows side stubbed: results_dialog_stubs.h), and the command
// alone, each beside a floor that makes the same host calls and writes,
// memmoves once per replacement and, for the dialog, copies the whole text once
// per match for display (memchr for the caret, memcpy for the runs). Figures
// per match.
//   text_search_benchmark [--plot-data FILE]
//   text_search_benchmark --counts command|command932|greek|greek65001|floor
//   text_search_benchmark --counts long dialog|dialogfloor|command|
//     commandfloor 1252|932|65001|936 CASE KB
//   text_search_benchmark --long-cases   (each case and its code pages)
//   (scripts/bench-counts.sh)
#include <windows.h>  // the stub: the ids of the results dialog's buttons

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "benchmarks/bench_support.h"
#include "benchmarks/results_dialog_stubs.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"
#include "host/host_tags.h"
#include "resources/dialog_ids.h"
#include "simhost/sim_host.h"
#include "textsearch/results_dialog.h"
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

// The lead bytes of code page 932 (Japanese), and of 936 (Chinese), where
// trail bytes reach into the lead range.
const uint8_t JapaneseLeadRanges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
const uint8_t ChineseLeadRanges[] = {0x81, 0xFE, 0, 0};

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
int32_t commandReplaced;

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
  commandReplaced = session.replacedCount;
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

// ---------------------------------------------------------------------------
// One long text: a verse, or a text expression for matches inside tags.

enum CodePageIndex { SingleByte, Japanese, Utf8, Chinese, CodePageCount };
const char* const CodePageNames[] = {"1252", "932", "65001", "936"};

// A long text of 10- to 14-byte units, each holding one match; in code page
// 932 each starts with two Japanese characters, in UTF-8 with two Greek
// letters, in 936 with two Chinese characters of which each is the other's
// bytes the other way round. The text starts with a font tag; where
// `sizeTags` is set, a size tag comes before every hundredth unit. `tail`
// ends the text.
struct LongCase {
  const char* name;
  const char* description;
  const char* search;  // null: the whole unit
  const char* replacement;
  const char* units[CodePageCount];  // null: not a case of that code page
  bool sizeTags;
  const char* tail;
  bool expression;  // a text expression, whose tags are searched too
};

// clang-format off
#define JA "\x82\xA0\x82\xA2"
#define GR "\xCF\x80\xCE\xB9"
#define ZH "\xB0\xA1\xA1\xB0"
const LongCase LongCases[] = {
    {"same", "replaced by a string of the same length", "lai", "lae",
     {"do re lai ", JA " lai, ", GR " lai, ", ZH " lai, "}, true, "", false},
    {"longer", "replaced by a longer string", "lai", "laie",
     {"do re lai ", JA " lai, ", GR " lai, ", ZH " lai, "}, true, "", false},
    {"shorter", "replaced by a shorter string", "lai", "la",
     {"do re lai ", JA " lai, ", GR " lai, ", ZH " lai, "}, true, "", false},
    {"caret", "replaced by a string holding a caret", "lai", "l^i",
     {"do re lai ", JA " lai, ", GR " lai, ", ZH " lai, "}, true, "", false},
    {"parenthesis", "replaced by a string holding a parenthesis", "lai",
     "l(i", {"do re lai ", JA " lai, ", GR " lai, ", ZH " lai, "}, true, "", false},
    {"intags", "matches inside tags of a text expression", "lai", "lae",
     {"do ^f(lai) ", JA " ^f(lai) ", GR " ^f(lai) ", ZH " ^f(lai) "}, false, "", true},
    {"emptied", "each match empties the start of the shown text", nullptr,
     "", {"do re lai ", JA " lai, ", GR " lai, ", ZH " lai, "}, true, "", false},
    {"lone", "lone carets, a '(' at the end", "lai", "lae",
     {"do ^re lai ", JA "^ lai, ", GR "^ lai, ", ZH "^ lai, "}, false, " (", false},
    // Every trail byte looks like the search string's first byte.
    {"reversed", "one character repeated, searched for its bytes the other "
     "way round (one match, at the end)", "\xA1\xB0", "\xA1\xB1",
     {nullptr, nullptr, nullptr, "\xB0\xA1"}, false, "\xA1\xB0", false},
};
#undef JA
#undef GR
#undef ZH
// clang-format on

const int LongKilobytes[] = {1, 2, 4, 8, 16, 32};
// "32 KB": the most whole units below the limit of 32,767 bytes.
constexpr size_t LargestLongText = 32760;

size_t longSize(int kilobytes) {
  return kilobytes == 32 ? LargestLongText
                         : static_cast<size_t>(kilobytes) * 1024;
}

struct LongRun {
  const LongCase* c;
  int codePage;  // CodePageIndex
  int kilobytes;
  const char* search() const {
    return c->search != nullptr ? c->search : c->units[codePage];
  }
};

// The text, of at most its size also once each match has grown.
std::string longText(const LongRun& run) {
  const std::string unit = run.c->units[run.codePage];
  const int growth = static_cast<int>(strlen(run.c->replacement)) -
                     static_cast<int>(strlen(run.search()));
  const size_t grows = growth > 0 ? static_cast<size_t>(growth) : 0;
  const size_t size = longSize(run.kilobytes) - strlen(run.c->tail);
  std::string text = "^font(Times)";
  for (size_t units = 0;; ++units) {
    const std::string piece = run.c->sizeTags && units > 0 && units % 100 == 0
                                  ? "^size(12)" + unit
                                  : unit;
    if (text.size() + piece.size() + (units + 1) * grows > size) break;
    text += piece;
  }
  return text + run.c->tail;
}

RecordKey longKey(const LongCase& c) {
  return c.expression ? RecordKey{TagTextExpression, 0, 0, 0}
                      : RecordKey{TagVerseLyrics, 1, 0, 0};
}
constexpr size_t ExpressionHeader = 12;

AnsiCodePage longCodePage;  // of the case being run
LongRun longRun;
std::vector<uint8_t> longRecord;  // as the document holds it at first
SimDocument* longDocument;

void restoreLongText() {
  longDocument->storeRecord(longKey(*longRun.c), longRecord.data(),
                            longRecord.size());
}

std::string longTextNow() {
  return longDocument->recordText(longKey(*longRun.c),
                                  longRun.c->expression ? ExpressionHeader : 0);
}

int32_t dialogReplaced;

// "Yes to all" on the first match, as the text command runs the results
// dialog once its options are confirmed; then "OK" on the summary.
void dialogPass() {
  TextSearch search{};
  useTextPrefs(search.session, &prefs, &longCodePage.characters);
  runResultsDialog(nullptr, &prefs, &longCodePage, &search);
  dialogReplaced = search.session.replacedCount;
}

// The floor of a long text: the walk's host calls (each lyric number
// probed, or each text expression until the first gap), the text fetched
// once into one reused buffer and searched with strstr, each match
// replaced in place with one memmove and written back; for the dialog, the
// same six lines per match and for the summary, the text line a copy of
// the whole text made by runs.
struct LongFloor {
  bool dialog = false;
  const char* search = "";
  const char* replacement = "";
  std::vector<char> buffer, shown;
  int32_t hits = 0;

  // The text without its tags (a caret and what runs to the first ')' after
  // the first '(' after it), copied run by run; answers the length of the
  // tags before the first shown byte. Trail bytes are not told apart: no
  // text here has a caret or parenthesis as one.
  int32_t copyShown(const char* text, int32_t length) {
    const char* end = text + length;
    char* out = shown.data();
    int32_t leading = 0;
    // The parentheses found for the last caret: a later caret before its
    // '(' has the same ones (so lone carets cost one search, not one each).
    const char* open = nullptr;
    const char* close = nullptr;
    const char* searchedFrom = end;
    for (const char* p = text;;) {
      const char* caret = static_cast<const char*>(
          memchr(p, '^', static_cast<size_t>(end - p)));
      const char* runEnd = caret != nullptr ? caret : end;
      memcpy(out, p, static_cast<size_t>(runEnd - p));
      out += runEnd - p;
      if (caret == nullptr) break;
      if (caret < searchedFrom || (open != nullptr && open < caret)) {
        searchedFrom = caret;
        open = static_cast<const char*>(
            memchr(caret, '(', static_cast<size_t>(end - caret)));
        close = open != nullptr
                    ? static_cast<const char*>(
                          memchr(open, ')', static_cast<size_t>(end - open)))
                    : nullptr;
      }
      if (caret[1] == '^') {
        *out++ = '^';
        p = caret + 1;
        continue;
      }
      if (close == nullptr) {
        *out++ = '^';
        p = caret + 1;
        continue;
      }
      if (out == shown.data())
        leading += static_cast<int32_t>(close + 1 - caret);
      p = close + 1;
    }
    *out = '\0';
    return leading;
  }
  // The search string's next place at or after the character start `from`:
  // strstr's, where a place found is checked to start a character by
  // stepping from `from` over whole characters; only needed where the search
  // string starts with a lead byte, as only then can the bytes of two
  // characters look like it.
  static char* findWhole(char* from, const char* search) {
    const uint8_t* announced = longCodePage.characters.announced;
    if (announced[static_cast<uint8_t>(search[0])] == 1) {
      return strstr(from, search);
    }
    for (char* p = strstr(from, search); p != nullptr;
         p = strstr(from, search)) {
      while (from < p) from += announced[static_cast<uint8_t>(*from)];
      if (from == p) return p;
    }
    return nullptr;
  }
  void line(int number, const char* text) {
    hostSetControlText(nullptr, IDC_RESULTS_LINE_1 + number - 1, text,
                       InterfaceVersion);
  }
  void showMatch(const char* where, const char* text, int32_t length,
                 int32_t offset) {
    char position[100];
    line(1, "Match was found in");
    line(2, where);
    const int32_t leading = copyShown(text, length);
    line(3, shown.data());
    snprintf(position, sizeof position, "at position %d", offset - leading + 1);
    line(4, position);
    line(5, "");
    line(6, "Replace?");
  }
  void searchText(uint32_t tag, uint8_t* key, size_t header,
                  const char* where) {
    int32_t size = 0;
    if (low16(hostReadRecord(tag, key, nullptr, &size, InterfaceVersion)) ==
        0) {
      return;
    }
    const size_t room = LargestLongText + 64;
    if (buffer.size() < room) buffer.resize(room);
    if (shown.size() < room) shown.resize(room);
    int32_t capacity = size;
    if (low16(hostReadRecord(tag, key, buffer.data(), &capacity,
                             InterfaceVersion)) == 0) {
      return;
    }
    buffer[size] = '\0';
    char* text = buffer.data() + header;
    int32_t length = static_cast<int32_t>(strlen(text));
    const int32_t searchLength = static_cast<int32_t>(strlen(search));
    const int32_t replacementLength = static_cast<int32_t>(strlen(replacement));
    const int32_t delta = replacementLength - searchLength;
    const uint32_t extra = header != 0 ? static_cast<uint32_t>(header) + 2 : 0;
    for (char* p = findWhole(text, search); p != nullptr;
         p = findWhole(p + replacementLength, search)) {
      ++hits;
      const int32_t offset = static_cast<int32_t>(p - text);
      if (dialog) showMatch(where, text, length, offset);
      if (delta != 0) {
        memmove(p + replacementLength, p + searchLength,
                static_cast<size_t>(length - offset - searchLength + 1));
      }
      memcpy(p, replacement, static_cast<size_t>(replacementLength));
      length += delta;
      hostWriteRecord(tag, key, buffer.data(),
                      static_cast<uint32_t>(length + 1) + extra,
                      InterfaceVersion);
    }
  }
  void pass() {
    hits = 0;
    if (dialog)
      hostRunDialog(IDD_TEXT_RESULTS, nullptr, nullptr, 1, 0, InterfaceVersion);
    uint8_t key[K::Size] = {};
    if (longRun.c->expression) {
      uint8_t item[14];
      for (uint16_t n = 0;; ++n) {
        writeU16(key, K::First, n);
        int32_t size = sizeof item;
        if (low16(hostReadRecord(TagTextExpression, key, item, &size,
                                 InterfaceVersion)) == 0 ||
            size == 0) {
          break;
        }
        char where[100];
        snprintf(where, sizeof where, "text expression entry #%d", n);
        searchText(TagTextExpression, key, ExpressionHeader, where);
      }
    } else {
      for (uint32_t tag : {TagVerseLyrics, TagChorusLyrics, TagSectionLyrics}) {
        for (uint16_t n = 1; n <= LastLyricNumber; ++n) {
          writeU16(key, K::First, n);
          int32_t size = 0;
          if (low16(hostReadRecord(tag, key, nullptr, &size,
                                   InterfaceVersion)) != 0 &&
              size != 0) {
            char where[100];
            snprintf(where, sizeof where, "verse lyrics #%d", n);
            searchText(tag, key, 0, where);
          }
        }
      }
    }
    if (dialog) {
      char found[100], replaced[100];
      snprintf(found, sizeof found, "%d instance(s) found", hits);
      snprintf(replaced, sizeof replaced, "%d instance(s) replaced", hits);
      line(1, "Search result:");
      line(2, "");
      line(3, found);
      line(4, "");
      line(5, replaced);
      line(6, "");
      hostEndDialog(nullptr, InterfaceVersion);
    }
    sink = hits;
  }
};

LongFloor longFloor;
void dialogFloorPass() {
  longFloor.dialog = true;
  longFloor.pass();
}
void commandFloorPass() {
  longFloor.dialog = false;
  longFloor.pass();
}

TextCharacters charactersOf(int codePage) {
  return codePage == Japanese ? japanese()
         : codePage == Chinese
             ? doubleByteCharacters(ChineseLeadRanges, sizeof ChineseLeadRanges)
         : codePage == Utf8 ? utf8Characters()
                            : singleByteCharacters();
}

// Only the long text's kind is searched, with the case's strings.
void setUpLong(const LongRun& run) {
  longRun = run;
  resetTextSearchPrefs(&prefs);
  namespace L = TextSearchPrefsLayout;
  strcpy(reinterpret_cast<char*>(prefs.bytes + L::SearchString), run.search());
  strcpy(reinterpret_cast<char*>(prefs.bytes + L::ReplaceString),
         run.c->replacement);
  setPrefsWord(prefs, L::ReplaceEnabled, 1);
  for (size_t i = 0; i < L::ElementSwitchCount; ++i) {
    setPrefsWord(prefs, L::ElementSwitches + 2 * i, 0);
  }
  setPrefsWord(prefs, run.c->expression ? L::TextExpressions : L::Lyrics, 1);
  longCodePage.characters = charactersOf(run.codePage);
  longCodePage.fontCharset = 0;
  useTextPrefs(textSearch.session, &prefs, &longCodePage.characters);
  longFloor.search = run.search();
  longFloor.replacement = run.c->replacement;
  delete longDocument;
  longDocument = new SimDocument();
  const std::string text = longText(run);
  if (run.c->expression) {
    longDocument->addTextExpression(0, text);
  } else {
    longDocument->addLyrics(TagVerseLyrics, 1, text);
  }
  longRecord = *longDocument->record(longKey(*run.c));
  simHost().document = longDocument;
}

// One pass after the text is restored; its calls per service and the text
// it leaves.
struct PassResult {
  std::array<uint64_t, 64> calls;
  std::string text;
};
PassResult runOnFreshText(void (*pass)()) {
  restoreLongText();
  simHost().resetLog();
  pass();
  return {simHost().callCounts, longTextNow()};
}

// The time of one pass on the text as it was.
double secondsOnFreshText(void (*pass)()) {
  restoreLongText();
  return fastestSeconds(1, pass);
}

// Checks that a side and its floor make the same host calls, replace the
// same matches and leave the same text.
void expectSameWork(const char* what, void (*side)(), const int32_t* replaced,
                    void (*floor)()) {
  const PassResult a = runOnFreshText(side);
  const PassResult b = runOnFreshText(floor);
  if (a.calls != b.calls || a.text != b.text || *replaced != longFloor.hits) {
    fprintf(stderr,
            "%s: the floor does not do the same work (9: %llu/%llu, 10: "
            "%llu/%llu, 60: %llu/%llu; %d/%d replaced; the text %s)\n",
            what, (unsigned long long)a.calls[9],
            (unsigned long long)b.calls[9], (unsigned long long)a.calls[10],
            (unsigned long long)b.calls[10], (unsigned long long)a.calls[60],
            (unsigned long long)b.calls[60], *replaced, longFloor.hits,
            a.text == b.text ? "the same" : "differs");
    exit(1);
  }
}

// Seconds per pass of each side and its floor, and the matches of a pass.
struct LongFigures {
  int32_t matches;
  double dialog, dialogFloor, command, commandFloor;
};

std::string describe(const LongRun& run) {
  char text[160];
  snprintf(text, sizeof text, "%d KB, code page %s, %s", run.kilobytes,
           CodePageNames[run.codePage], run.c->description);
  return text;
}

LongFigures measureLong(const LongRun& run, int repetitions) {
  setUpLong(run);
  const std::string name = describe(run);
  expectSameWork(name.c_str(), dialogPass, &dialogReplaced, dialogFloorPass);
  expectSameWork(name.c_str(), commandPass, &commandReplaced, commandFloorPass);
  LongFigures f{longFloor.hits, 1e30, 1e30, 1e30, 1e30};
  for (int i = 0; i < repetitions; ++i) {
    f.dialog = std::min(f.dialog, secondsOnFreshText(dialogPass));
    f.dialogFloor =
        std::min(f.dialogFloor, secondsOnFreshText(dialogFloorPass));
    f.command = std::min(f.command, secondsOnFreshText(commandPass));
    f.commandFloor =
        std::min(f.commandFloor, secondsOnFreshText(commandFloorPass));
  }
  const double perMatch = 1e9 / f.matches;
  printf(
      "%s: %d matches; ns per match: dialog %.0f (floor %.0f, ratio %.2f), "
      "command %.0f (floor %.0f, ratio %.2f)\n",
      name.c_str(), f.matches, f.dialog * perMatch, f.dialogFloor * perMatch,
      f.dialog / f.dialogFloor, f.command * perMatch, f.commandFloor * perMatch,
      f.command / f.commandFloor);
  fflush(stdout);
  return f;
}

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

// --counts long SIDE CODEPAGE CASE KB: one pass of one side on a long
// text that is restored first.
int countLong(char** args) {
  const struct {
    const char* name;
    void (*pass)();
    const int32_t* replaced;
  } sides[] = {{"dialog", dialogPass, &dialogReplaced},
               {"dialogfloor", dialogFloorPass, &longFloor.hits},
               {"command", commandPass, &commandReplaced},
               {"commandfloor", commandFloorPass, &longFloor.hits}};
  void (*pass)() = nullptr;
  const int32_t* replaced = nullptr;
  for (const auto& side : sides) {
    if (strcmp(args[0], side.name) == 0) {
      pass = side.pass;
      replaced = side.replaced;
    }
  }
  int codePage = -1;
  for (int i = 0; i < CodePageCount; ++i) {
    if (strcmp(args[1], CodePageNames[i]) == 0) codePage = i;
  }
  const LongCase* c = nullptr;
  for (const LongCase& candidate : LongCases) {
    if (strcmp(args[2], candidate.name) == 0) c = &candidate;
  }
  const int kilobytes = atoi(args[3]);
  if (pass == nullptr || codePage < 0 || c == nullptr ||
      c->units[codePage] == nullptr ||
      std::find(std::begin(LongKilobytes), std::end(LongKilobytes),
                kilobytes) == std::end(LongKilobytes)) {
    fprintf(stderr, "unknown long-text case\n");
    return 2;
  }
  pressButtonsOnceOpen({IDC_RESULTS_YES_TO_ALL, IDC_RESULTS_OK});
  setUpLong({c, codePage, kilobytes});
  runOnFreshText(pass);
  restoreLongText();
  countedPass(pass);
  printf("matches %d\n", *replaced);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setUpPrefs();
  simHost().useBenchmarkMode();
  if (argc == 7 && strcmp(argv[1], "--counts") == 0 &&
      strcmp(argv[2], "long") == 0) {
    return countLong(argv + 3);
  }
  if (argc == 3 && strcmp(argv[1], "--counts") == 0) return countOnly(argv[2]);
  if (argc == 2 && strcmp(argv[1], "--long-cases") == 0) {
    for (const LongCase& c : LongCases) {
      for (int codePage = 0; codePage < CodePageCount; ++codePage) {
        if (c.units[codePage] != nullptr) {
          printf("%s %s\n", c.name, CodePageNames[codePage]);
        }
      }
    }
    return 0;
  }
  FILE* plot = nullptr;
  if (argc == 3 && strcmp(argv[1], "--plot-data") == 0) {
    plot = fopen(argv[2], "w");
    if (plot == nullptr) {
      perror(argv[2]);
      return 1;
    }
  }
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

  printf(
      "\nOne long text, Yes to all in the results dialog and the command "
      "alone; floors: the same host calls, one memmove per replacement, one "
      "copy of the text per match for display.\n");
  pressButtonsOnceOpen({IDC_RESULTS_YES_TO_ALL, IDC_RESULTS_OK});
  if (plot != nullptr) {
    fprintf(plot, "# KB, then for each case (");
    for (const LongCase& c : LongCases) fprintf(plot, " %s", c.name);
    fprintf(plot,
            " ): the dialog's and the command's time ratios to their floors, "
            "the largest over the three code pages\n");
  }
  LongFigures largest[CodePageCount] = {};
  double worst[std::size(LongKilobytes)][std::size(LongCases)][2] = {};
  for (size_t k = 0; k < std::size(LongKilobytes); ++k) {
    for (size_t i = 0; i < std::size(LongCases); ++i) {
      for (int codePage = 0; codePage < CodePageCount; ++codePage) {
        if (LongCases[i].units[codePage] == nullptr) continue;
        const int kilobytes = LongKilobytes[k];
        const LongFigures f = measureLong({&LongCases[i], codePage, kilobytes},
                                          kilobytes >= 16 ? 3 : 7);
        if (kilobytes == 32 && i == 0) largest[codePage] = f;
        worst[k][i][0] = std::max(worst[k][i][0], f.dialog / f.dialogFloor);
        worst[k][i][1] = std::max(worst[k][i][1], f.command / f.commandFloor);
      }
    }
    if (plot != nullptr) {
      fprintf(plot, "%d", LongKilobytes[k]);
      for (size_t i = 0; i < std::size(LongCases); ++i) {
        fprintf(plot, " %.3f %.3f", worst[k][i][0], worst[k][i][1]);
      }
      fprintf(plot, "\n");
    }
  }
  if (plot != nullptr) fclose(plot);
  simHost().document = nullptr;
  printf("text command ratio: %.2f\n",
         everyday.commandSeconds / everyday.floorSeconds);
  printf(
      "32 KB verse ratios: dialog %.2f, command %.2f, dialog in code page "
      "932 %.2f\n",
      largest[SingleByte].dialog / largest[SingleByte].dialogFloor,
      largest[SingleByte].command / largest[SingleByte].commandFloor,
      largest[Japanese].dialog / largest[Japanese].dialogFloor);
  return 0;
}
