// The plug-in's six exports as the host calls them.
#include <cstring>
#include <string>
#include <vector>

#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"
#include "tests/e2e/e2e_support.h"

namespace {

namespace M = HostMenuItemLayout;

constexpr size_t MenuItemBytes = 256;  // room beyond what the plug-in writes
constexpr uint8_t Untouched = 0xEE;

std::vector<uint8_t> freshMenuItem() {
  return std::vector<uint8_t>(MenuItemBytes, Untouched);
}

uint32_t enumerate(uint32_t index, void* item) {
  return callChecked(plugin().enumerate, "FinaleExtensionEnumerate",
                     {0x11111111u, index, argument(item)});
}

uint32_t invoke(HWND owner, uint32_t index, const void* region) {
  return callChecked(plugin().invoke, "FinaleExtensionInvoke",
                     {argument(owner), index, argument(region), 0x22222222u});
}

// A text field holding `text`, then NULs up to its end.
void expectField(const std::vector<uint8_t>& item, size_t offset,
                 const char* text) {
  std::vector<uint8_t> expected(M::TextSize, 0);
  memcpy(expected.data(), text, strlen(text));
  EXPECT_EQ(std::vector<uint8_t>(item.begin() + offset,
                                 item.begin() + offset + M::TextSize),
            expected)
      << "field at " << offset << " should hold \"" << text << "\"";
}

const char NoRegionText[] =
    "Please select the area (with the mass mover tool) where you want do the "
    "search before selecting the plug-in. You can use partial measures if "
    "needed.";

int __cdecl cdeclWithTwoArguments(int a, int b) { return a + b; }

}  // namespace

using ExportsTest = HostTest;

TEST_F(ExportsTest, EveryExportPopsExactlyItsArguments) {
  std::vector<uint8_t> item = freshMenuItem();
  struct Case {
    void* fn;
    const char* name;
    std::vector<uint32_t> args;
  };
  const Case cases[] = {
      {plugin().version, "Version", {7}},
      {plugin().init, "Init", {1, 2}},
      {plugin().enumerate, "Enumerate", {0, 0, argument(item.data())}},
      {plugin().enumerate,
       "Enumerate (refused)",
       {0, 9, argument(item.data())}},
      {plugin().invoke, "Invoke (no region)", {argument(hostWindow), 0, 0, 0}},
      {plugin().menuStatus, "GetMenuStatus", {3}},
      {plugin().terminate, "Terminate", {4}},
  };
  scriptedUser().answerMessageBox(IDOK);
  for (const Case& c : cases) {
    int32_t leftOnStack = -1;
    callStdcallChecked(c.fn, c.args.data(),
                       static_cast<uint32_t>(c.args.size()), &leftOnStack);
    EXPECT_EQ(leftOnStack, 0) << c.name;
  }
}

TEST_F(ExportsTest, StackCheckCatchesACallerPopsConvention) {
  const uint32_t args[] = {2, 3};
  int32_t leftOnStack = 0;
  const uint32_t sum =
      callStdcallChecked(reinterpret_cast<const void*>(&cdeclWithTwoArguments),
                         args, 2, &leftOnStack);
  EXPECT_EQ(sum, 5u);
  EXPECT_EQ(leftOnStack, 8);
}

TEST_F(ExportsTest, VersionIsInterfaceVersionWhateverTheArgument) {
  for (uint32_t arg : {0u, 1u, 0xFFFFFFFFu, 0x05000005u, 0x80000000u}) {
    EXPECT_EQ(callChecked(plugin().version, "FinaleExtensionVersion", {arg}),
              0x05000005u)  // the host's interface version
        << "argument " << arg;
  }
}

TEST_F(ExportsTest, InitAndMenuStatusAnswerOne) {
  EXPECT_EQ(low16(callChecked(plugin().init, "FinaleExtensionInit", {0, 0})),
            1);
  EXPECT_EQ(low16(callChecked(plugin().menuStatus,
                              "FinaleExtensionGetMenuStatus", {0})),
            1);
}

TEST_F(ExportsTest, EnumerateFillsBothItemsByteForByte) {
  struct Case {
    uint32_t index;
    const char* texts[3];
  };
  const Case cases[] = {
      {0,
       {"QZ S && R - Note Entries [v 1.11a.r2]...",
        "Search/Replace - Note Entries", "QZ Search/Replace - Note Entries"}},
      {1,
       {"QZ S && R - Text [v 1.11a]...", "Search/Replace - Text",
        "QZ Search/Replace - Text"}},
      // Only the low 16 bits of the index count.
      {0x10000,
       {"QZ S && R - Note Entries [v 1.11a.r2]...",
        "Search/Replace - Note Entries", "QZ Search/Replace - Note Entries"}},
      {0xABCD0001,
       {"QZ S && R - Text [v 1.11a]...", "Search/Replace - Text",
        "QZ Search/Replace - Text"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    std::vector<uint8_t> item = freshMenuItem();
    EXPECT_EQ(low16(enumerate(c.index, item.data())), 1);
    expectField(item, M::FirstText, c.texts[0]);
    expectField(item, M::SecondText, c.texts[1]);
    expectField(item, M::ThirdText, c.texts[2]);
    EXPECT_EQ(readU16(item.data(), M::Word192), 0);
    EXPECT_EQ(readU16(item.data(), M::Word194), 0);
    for (size_t i = M::Size; i < MenuItemBytes; ++i) {
      ASSERT_EQ(item[i], Untouched) << "byte " << i << " written";
    }
  }
}

TEST_F(ExportsTest, EnumerateRefusesOtherIndexesWritingNothing) {
  for (uint32_t index :
       {2u, 3u, 0xFFFFFFFFu, 0x10002u, 0x7FFFu, 0x8000u, 0xFFFFu}) {
    std::vector<uint8_t> item = freshMenuItem();
    EXPECT_EQ(low16(enumerate(index, item.data())), 0) << "index " << index;
    EXPECT_EQ(item, freshMenuItem()) << "index " << index << " wrote";
  }
}

TEST_F(ExportsTest, EnumerateWithoutARecordAnswersZero) {
  EXPECT_EQ(low16(enumerate(0, nullptr)), 0);
  EXPECT_EQ(low16(enumerate(1, nullptr)), 0);
}

TEST_F(ExportsTest, NoteEntriesWithoutARegionShowTheMessageAndAnswerZero) {
  // Every index but 1 (in its low 16 bits) is the note-entry command.
  for (uint32_t index : {0u, 0x50000u, 2u, 0xFFFFu}) {
    SCOPED_TRACE(index);
    scriptedUser().reset();
    scriptedUser().answerMessageBox(IDOK);
    EXPECT_EQ(low16(invoke(hostWindow, index, nullptr)), 0);
    ASSERT_EQ(scriptedUser().boxes.size(), 1u);
    const MessageBoxSeen& box = scriptedUser().boxes[0];
    EXPECT_EQ(box.text, NoRegionText);
    EXPECT_EQ(box.title, "QZ Search/Replace - No area selected");
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box.owner, hostWindow);
    EXPECT_TRUE(scriptedUser().dialogsRun.empty());
  }
  EXPECT_TRUE(simHost().calls.empty()) << "no host service without a region";
}

TEST_F(ExportsTest, TextCommandRunsWithoutARegion) {
  for (uint32_t index : {1u, 0x70001u}) {
    scriptedUser().expectDialog(IDD_TEXT_OPTIONS, {click(IDCANCEL)});
    EXPECT_EQ(low16(invoke(hostWindow, index, nullptr)), 1) << index;
  }
  EXPECT_EQ(scriptedUser().dialogsRun,
            (std::vector<uint32_t>{IDD_TEXT_OPTIONS, IDD_TEXT_OPTIONS}))
      << "the options dialog opens; cancelled, nothing follows";
  EXPECT_TRUE(scriptedUser().boxes.empty());
}
