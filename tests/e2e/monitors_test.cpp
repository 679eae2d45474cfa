// Where the three dialogs open on a desktop of several monitors. The run
// e2e_monitors starts Wine without a virtual desktop on one X screen split
// into monitors: first the layout of three (a left monitor, the primary,
// shorter than the others, and a right one), then the same without the
// right monitor, as after undocking. Under any other layout these tests
// skip. The primary has a taskbar along its bottom, left out of its work
// area as Windows leaves it out.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "entrysearch/entry_options.h"
#include "simhost/taskbar.h"
#include "tests/e2e/e2e_support.h"
#include "textsearch/text_prefs.h"

namespace {

constexpr int TaskbarHeight = 40;
enum Layout { Three, Two, Other };

BOOL CALLBACK addMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
  return TRUE;
}

Layout layoutNow() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor,
                      reinterpret_cast<LPARAM>(&monitors));
  std::sort(monitors.begin(), monitors.end(),
            [](const RECT& a, const RECT& b) { return a.left < b.left; });
  const std::vector<RECT> three = {
      {-1280, 0, 0, 1024}, {0, 0, 1024, 768}, {1024, 0, 2304, 1024}};
  auto is = [&](size_t count) {
    return monitors.size() == count &&
           std::equal(monitors.begin(), monitors.end(), three.begin(),
                      [](const RECT& a, const RECT& b) {
                        return EqualRect(&a, &b) != FALSE;
                      });
  };
  return is(3) ? Three : is(2) ? Two : Other;
}

using Places = std::array<RECT, 3>;  // the three dialogs, in id order

}  // namespace

class MonitorsTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    layout = layoutNow();
    if (layout == Other)
      GTEST_SKIP() << "not on a desktop of the e2e_monitors run";
    setTaskbarHeight(TaskbarHeight);
    score = SimDocument(1, 1);
    defaults = openDialogs();
  }

  // Opens the three dialogs (the text command finds nothing and shows its
  // summary) and answers where each opened; the user then moves each to
  // its place in `moveTo`, if given, before closing it.
  Places openDialogs(const POINT* moveTo = nullptr) {
    Places opened{};
    auto step = [&opened, moveTo](int i) {
      return look([&opened, moveTo, i](HWND d) {
        RECT& r = opened[static_cast<size_t>(i)];
        GetWindowRect(d, &r);
        if (moveTo != nullptr) {
          MoveWindow(d, moveTo[i].x, moveTo[i].y, r.right - r.left,
                     r.bottom - r.top, TRUE);
        }
      });
    };
    const std::vector<uint8_t> region = selectionRegion(1, 1, 0, 1, 1, 4096);
    auto invoke = [&](uint32_t index) {
      callChecked(plugin().invoke, "FinaleExtensionInvoke",
                  {argument(hostWindow), index, argument(region.data()), 0});
    };
    scriptedUser().expectDialog(IDD_ENTRY_CRITERIA,
                                {step(0), click(IDC_CRITERIA_CANCEL)});
    invoke(0);
    scriptedUser().expectDialog(
        IDD_TEXT_OPTIONS, {step(1), typeText(IDC_OPTIONS_SEARCH_EDIT, "x"),
                           click(IDC_OPTIONS_GO)});
    scriptedUser().expectDialog(IDD_TEXT_RESULTS,
                                {step(2), click(IDC_RESULTS_OK)});
    invoke(1);
    return opened;
  }

  // Ends the host's run (Terminate stores) and starts another, having
  // stored the three dialogs' places at `stored` when given.
  void restartHost(const POINT* stored = nullptr) {
    Plugin& p = plugin();
    callChecked(p.terminate, "FinaleExtensionTerminate", {0});
    unloadPlugin(&p);
    if (stored != nullptr) {
      EntryOptions search{};
      resetEntryOptions(&search);
      setOptionWord(search, EntryOptionsLayout::DialogLeft, stored[0].x);
      setOptionWord(search, EntryOptionsLayout::DialogTop, stored[0].y);
      writeSettingsValue("SearchOptions",
                         Bytes(search.bytes, search.bytes + EntryOptionsSize));
      TextSearchPrefs text{};
      resetTextSearchPrefs(&text);
      using namespace TextSearchPrefsLayout;
      setPrefsWord(text, OptionsDialogLeft, stored[1].x);
      setPrefsWord(text, OptionsDialogTop, stored[1].y);
      setPrefsWord(text, ResultsDialogLeft, stored[2].x);
      setPrefsWord(text, ResultsDialogTop, stored[2].y);
      writeSettingsValue("TextSearchPrefs",
                         Bytes(text.bytes, text.bytes + TextSearchPrefsSize));
    }
    ASSERT_EQ(loadPlugin(pluginPath(), &p), "");
    callChecked(p.init, "FinaleExtensionInit", {0, 0});
  }

  // Each dialog opened at its place in `expected`, or where the host puts
  // it where that is null; always at its own size.
  void expectOpenedAt(const Places& opened, const POINT* expected) {
    for (size_t i = 0; i < 3; ++i) {
      SCOPED_TRACE("dialog " + std::to_string(IDD_ENTRY_CRITERIA + i));
      const RECT& d = defaults[i];
      EXPECT_EQ(opened[i].left, expected ? expected[i].x : d.left);
      EXPECT_EQ(opened[i].top, expected ? expected[i].y : d.top);
      EXPECT_EQ(opened[i].right - opened[i].left, d.right - d.left);
      EXPECT_EQ(opened[i].bottom - opened[i].top, d.bottom - d.top);
    }
  }

  Layout layout = Other;
  Places defaults{};
};

TEST_F(MonitorsTest, DialogsReopenWhereTheUserLeftThemOnAnyMonitor) {
  struct Case {
    POINT places[3];
    bool inTwo;
  };
  const Case cases[] = {
      {{{-900, 200}, {-1000, 300}, {-1270, 990}}, true},  // left monitor
      {{{1500, 300}, {2200, 50}, {1030, 900}}, false},    // right monitor
  };
  for (const Case& c : cases) {
    if (layout == Two && !c.inTwo) continue;
    SCOPED_TRACE(std::to_string(c.places[0].x));
    openDialogs(c.places);
    expectOpenedAt(openDialogs(), c.places);
    restartHost();
    expectOpenedAt(openDialogs(), c.places);
  }
}

TEST_F(MonitorsTest, StoredPlacesApplyOnlyInAMonitorsWorkArea) {
  struct Case {
    int16_t x, y;
    bool inThree, inTwo;
  };
  const Case cases[] = {
      {-900, 200, true, true},    // on the left monitor
      {-1280, 0, true, true},     // its top-left pixel
      {-1281, 0, false, false},   // left of every monitor
      {100, -1, false, false},    // above every monitor
      {1500, 300, true, false},   // on the right monitor, gone in Two
      {2303, 1023, true, false},  // its bottom-right pixel
      {2304, 100, false, false},  // right of every monitor
      {1024, 100, true, false},   // the primary's width: the right one
      {500, 768, false, false},   // the primary's height: the gap under it
      {1023, 767 - TaskbarHeight, true, true},   // above the taskbar
      {500, 768 - TaskbarHeight, false, false},  // on the taskbar
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    const POINT stored[3] = {{c.x, c.y}, {c.x, c.y}, {c.x, c.y}};
    restartHost(stored);
    const bool applied = layout == Three ? c.inThree : c.inTwo;
    expectOpenedAt(openDialogs(), applied ? stored : nullptr);
  }
}
