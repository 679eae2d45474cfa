// A whole "Yes to all" of the text command over a simulated document with
// 10,000 texts across all ten kinds, in a single-byte code page and in a
// double-byte one (932), beside a plain strstr over the same texts.
//   text_search_benchmark [benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host/host_tags.h"
#include "simhost/sim_host.h"
#include "textsearch/text_session.h"
#include "textsearch/text_walker.h"

namespace {

constexpr int PerKind = 1000;  // ten kinds (names count once per staff)
std::vector<std::string> allTexts;

std::string sampleText(int i) {
  // One text in three holds the search string, some of them inside a tag.
  std::string text = "^font(Times)Allegro moderato, bar " + std::to_string(i);
  if (i % 3 == 0) text += " poco a poco cresc.";
  if (i % 7 == 0) text += " ^size(12)cresc. molto";
  return text;
}

SimDocument& document() {
  static SimDocument* doc = [] {
    auto* d = new SimDocument();
    d->addMeasureRecords(PerKind);
    d->addStaffSystems(PerKind / 2);
    int n = 0;
    auto next = [&n] {
      allTexts.push_back(sampleText(n++));
      return allTexts.back();
    };
    for (int i = 0; i < PerKind; ++i) {
      d->addPageText(static_cast<uint16_t>(i / 10),
                     static_cast<uint16_t>(i % 10), next());
      d->addMeasureText(1, static_cast<uint16_t>(i + 1), 0, next());
      d->addTextExpression(static_cast<uint16_t>(i), next());
      if (i % 2 == 0) {
        const std::string full = next();
        d->addStaff(static_cast<uint16_t>(i / 2), full, next());
        const std::string group = next();
        d->addGroup(static_cast<uint16_t>(i / 2), 1, group, next());
      }
      d->addTextRepeat(static_cast<uint16_t>(i + 1), next());
      d->addEndingRepeat(static_cast<uint16_t>(i + 1), next());
      d->addLyrics(TagVerseLyrics, static_cast<uint16_t>(i + 1), next());
      d->addLyrics(TagChorusLyrics, static_cast<uint16_t>(i + 1), next());
      d->addLyrics(TagSectionLyrics, static_cast<uint16_t>(i + 1), next());
    }
    return d;
  }();
  return *doc;
}

TextSearchPrefs prefsFor(const char* search, const char* replace) {
  TextSearchPrefs prefs{};
  resetTextSearchPrefs(&prefs);
  strcpy(reinterpret_cast<char*>(prefs.bytes +
                                 TextSearchPrefsLayout::SearchString),
         search);
  strcpy(reinterpret_cast<char*>(prefs.bytes +
                                 TextSearchPrefsLayout::ReplaceString),
         replace);
  setPrefsWord(prefs, TextSearchPrefsLayout::ReplaceEnabled, 1);
  for (size_t i = 0; i < TextSearchPrefsLayout::ElementSwitchCount; ++i) {
    setPrefsWord(prefs, TextSearchPrefsLayout::ElementSwitches + 2 * i, 1);
  }
  return prefs;
}

// "Yes to all" as the results dialog runs it, in the code page with
// `leadBytes` (none: single-byte). The replacement has the search string's
// letters in another case, so every run finds the same matches (the search
// folds case).
void yesToAll(benchmark::State& state, const LeadByteTable* leadBytes) {
  simHost().document = &document();
  const TextSearchPrefs prefs = prefsFor("cresc.", "CRESC.");
  useTextPrefs(&prefs, leadBytes);
  int16_t replaced = 0;
  for (auto _ : state) {
    simHost().resetLog();
    textSession.foundCount = textSession.replacedCount = 0;
    textSession.lengthDelta = 0;
    int16_t found = findFirstMatch();
    while (found != 0) {
      ++textSession.foundCount;
      replaceMatch();
      found = findNextMatch();
    }
    dropCurrentText();
    replaced = textSession.replacedCount;
  }
  state.counters["replaced"] = replaced;
  state.SetItemsProcessed(state.iterations() *
                          static_cast<int64_t>(allTexts.size()));
}

void BM_YesToAll(benchmark::State& state) { yesToAll(state, nullptr); }

void BM_YesToAllDoubleByte(benchmark::State& state) {
  const uint8_t japanese[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
  const LeadByteTable table = leadBytesFromRanges(japanese, sizeof japanese);
  yesToAll(state, &table);
}

void BM_PlainStrstr(benchmark::State& state) {
  document();
  size_t hits = 0;
  for (auto _ : state) {
    hits = 0;
    for (const std::string& text : allTexts) {
      for (const char* p = strstr(text.c_str(), "cresc."); p != nullptr;
           p = strstr(p + 6, "cresc.")) {
        ++hits;
      }
    }
    benchmark::DoNotOptimize(hits);
  }
  state.counters["found"] = static_cast<double>(hits);
  state.SetItemsProcessed(state.iterations() *
                          static_cast<int64_t>(allTexts.size()));
}

BENCHMARK(BM_YesToAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YesToAllDoubleByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainStrstr)->Unit(benchmark::kMillisecond);

class PerTextReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> textsPerSecond;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const double seconds = run.GetAdjustedRealTime() /
                             benchmark::GetTimeUnitMultiplier(run.time_unit);
      textsPerSecond[run.benchmark_name()] = allTexts.size() / seconds;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  PerTextReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double yesToAll = reporter.textsPerSecond["BM_YesToAll"];
  const double doubleByte = reporter.textsPerSecond["BM_YesToAllDoubleByte"];
  const double plain = reporter.textsPerSecond["BM_PlainStrstr"];
  printf("\n%zu texts per run\n", allTexts.size());
  printf("Yes to all: %.0f texts per second\n", yesToAll);
  printf("Yes to all, code page 932: %.0f texts per second\n", doubleByte);
  printf("plain strstr: %.0f texts per second\n", plain);
  if (yesToAll > 0)
    printf("ratio (strstr / Yes to all): %.1f\n", plain / yesToAll);
  return 0;
}
