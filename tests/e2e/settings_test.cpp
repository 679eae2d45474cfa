// Settings in the real registry of the private prefix: what Init loads and
// Terminate stores, value by value, across restarts of the host.
#include <cstring>
#include <string>
#include <vector>

#include "entrysearch/entry_options.h"
#include "simhost/sim_document.h"
#include "tests/e2e/e2e_support.h"
#include "textsearch/text_prefs.h"

namespace {

const char Parent[] = "Software\\QZPlugins";

void deleteKey() { RegDeleteTreeA(HKEY_CURRENT_USER, Parent); }

size_t valueCount() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != 0)
    return 0;
  DWORD count = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   &count, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return count;
}

// The records as a first run leaves them: defaults, and a noteLevel of 0
// (the records start zeroed and the reset does not write it).
Bytes defaultEntryOptions() {
  EntryOptions options{};
  resetEntryOptions(&options);
  return Bytes(options.bytes, options.bytes + EntryOptionsSize);
}
Bytes defaultTextPrefs() {
  TextSearchPrefs prefs{};
  resetTextSearchPrefs(&prefs);
  // Only the first byte of each string is written by the reset; the
  // bytes after it are whatever the record held before.
  return Bytes(prefs.bytes, prefs.bytes + TextSearchPrefsSize);
}

Bytes pattern(size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<uint8_t>(seed + 31 * i);
  }
  return bytes;
}

}  // namespace

class SettingsTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    deleteKey();
  }
  void TearDown() override {
    deleteKey();
    HostTest::TearDown();
  }
  // A whole run of the host: unload, load, Init, Terminate.
  uint32_t restartHost() {
    Plugin& p = plugin();
    unloadPlugin(&p);
    EXPECT_EQ(loadPlugin(pluginPath(), &p), "");
    EXPECT_EQ(low16(callChecked(p.init, "FinaleExtensionInit", {0, 0})), 1);
    return callChecked(p.terminate, "FinaleExtensionTerminate", {0});
  }
};

TEST_F(SettingsTest, FirstRunStoresThreeBinaryValuesOfTheDefaults) {
  EXPECT_EQ(restartHost(), 0u);
  EXPECT_EQ(valueCount(), 3u);
  const struct {
    const char* name;
    Bytes expected;
  } cases[] = {{"SearchOptions", defaultEntryOptions()},
               {"ReplaceOptions", defaultEntryOptions()},
               {"TextSearchPrefs", defaultTextPrefs()}};
  for (const auto& c : cases) {
    const SettingsValue value = readSettingsValue(c.name);
    ASSERT_TRUE(value.present) << c.name;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_BINARY)) << c.name;
    EXPECT_EQ(value.bytes, c.expected) << c.name;
  }
  EXPECT_TRUE(scriptedUser().boxes.empty()) << "nothing is ever shown";
}

TEST_F(SettingsTest, StoredRecordsComeBackByteForByte) {
  const Bytes search = pattern(EntryOptionsSize, 1),
              replace = pattern(EntryOptionsSize, 2),
              text = pattern(TextSearchPrefsSize, 3);
  writeSettingsValue("SearchOptions", search);
  writeSettingsValue("ReplaceOptions", replace);
  writeSettingsValue("TextSearchPrefs", text);
  EXPECT_EQ(restartHost(), 0u);
  EXPECT_EQ(restartHost(), 0u);
  EXPECT_EQ(readSettingsValue("SearchOptions").bytes, search);
  EXPECT_EQ(readSettingsValue("ReplaceOptions").bytes, replace);
  EXPECT_EQ(readSettingsValue("TextSearchPrefs").bytes, text);
}

TEST_F(SettingsTest, EachValueIsLoadedOnItsOwn) {
  struct Case {
    const char* name;
    Bytes written;
    DWORD type;
    bool loaded;
  };
  const Case cases[] = {
      {"only the text record", pattern(TextSearchPrefsSize, 9), REG_BINARY,
       true},
      {"a search record of 200 bytes", pattern(200, 4), REG_BINARY, false},
      {"another registry type", pattern(EntryOptionsSize, 5), REG_NONE, true},
      {"a value shorter than its record", pattern(50, 6), REG_BINARY, false},
  };
  const char* valueNames[] = {"TextSearchPrefs", "SearchOptions",
                              "SearchOptions", "SearchOptions"};
  for (size_t i = 0; i < 4; ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    deleteKey();
    writeSettingsValue(valueNames[i], c.written, c.type);
    // A neighbour that is fine is read whatever happens to this one.
    const Bytes replace = pattern(EntryOptionsSize, 7);
    if (i != 0) writeSettingsValue("ReplaceOptions", replace);
    EXPECT_EQ(restartHost(), 0u);
    const Bytes defaults = i == 0 ? defaultTextPrefs() : defaultEntryOptions();
    EXPECT_EQ(readSettingsValue(valueNames[i]).bytes,
              c.loaded ? c.written : defaults);
    EXPECT_EQ(readSettingsValue("ReplaceOptions").bytes,
              i == 0 ? defaultEntryOptions() : replace);
  }
}

TEST_F(SettingsTest, DialogsReopenWhereTheyWereLeftAfterARestart) {
  SimDocument score(1, 1);
  simHost().document = &score;
  const std::vector<uint8_t> region = selectionRegion(1, 1, 0, 1, 1, 4096);
  auto moveTo = [](int x, int y) {
    return look([x, y](HWND d) {
      RECT r;
      GetWindowRect(d, &r);
      MoveWindow(d, x, y, r.right - r.left, r.bottom - r.top, TRUE);
    });
  };
  auto invoke = [&](uint32_t index) {
    callChecked(plugin().invoke, "FinaleExtensionInvoke",
                {argument(hostWindow), index, argument(region.data()), 0});
  };
  restartHost();
  callChecked(plugin().init, "FinaleExtensionInit", {0, 0});
  scriptedUser().expectDialog(IDD_ENTRY_CRITERIA,
                              {moveTo(101, 51), click(IDC_CRITERIA_CANCEL)});
  invoke(0);
  scriptedUser().expectDialog(
      IDD_TEXT_OPTIONS,
      {moveTo(151, 61), typeText(IDC_OPTIONS_SEARCH_EDIT, "x"),
       click(IDC_OPTIONS_GO)});
  scriptedUser().expectDialog(IDD_TEXT_RESULTS,
                              {moveTo(201, 71), click(IDC_RESULTS_OK)});
  invoke(1);
  // Terminate stores; a new run of the host loads what was stored.
  EXPECT_EQ(callChecked(plugin().terminate, "FinaleExtensionTerminate", {0}),
            0u);
  EXPECT_EQ(restartHost(), 0u);
  callChecked(plugin().init, "FinaleExtensionInit", {0, 0});
  RECT places[3] = {};
  auto record = [&](int i) {
    return look([&places, i](HWND d) { GetWindowRect(d, &places[i]); });
  };
  scriptedUser().expectDialog(IDD_ENTRY_CRITERIA,
                              {record(0), click(IDC_CRITERIA_CANCEL)});
  invoke(0);
  scriptedUser().expectDialog(IDD_TEXT_OPTIONS,
                              {record(1), click(IDC_OPTIONS_GO)});
  scriptedUser().expectDialog(IDD_TEXT_RESULTS,
                              {record(2), click(IDC_RESULTS_OK)});
  invoke(1);
  const POINT expected[3] = {{101, 51}, {151, 61}, {201, 71}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(places[i].left, expected[i].x)
        << "dialog " << IDD_ENTRY_CRITERIA + i;
    EXPECT_EQ(places[i].top, expected[i].y)
        << "dialog " << IDD_ENTRY_CRITERIA + i;
  }
}

TEST_F(SettingsTest, KeyThatCannotBeCreatedGivesTheRegistryError) {
  // Under a volatile parent only volatile keys may be created, so the
  // settings key cannot be.
  HKEY parent = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Parent, 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_WRITE, nullptr, &parent,
                            nullptr),
            ERROR_SUCCESS);
  RegCloseKey(parent);
  EXPECT_EQ(restartHost(), static_cast<uint32_t>(ERROR_CHILD_MUST_BE_VOLATILE));
  EXPECT_EQ(valueCount(), 0u);
  EXPECT_TRUE(scriptedUser().boxes.empty());
}
