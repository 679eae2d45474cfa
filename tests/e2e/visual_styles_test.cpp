// The criteria dialog's warning colour on every look: in a host with visual
// styles (run with --visual-styles, in a prefix whose style gives check
// boxes a text colour of their own, as Windows' styles do:
// scripts/make-styled-prefix.py), and on a dark face.
#include <windows.h>
// The theme interfaces need windows.h before them.
#include <uxtheme.h>
#include <vssym32.h>

#include <string>
#include <vector>

#include "simhost/resource_ledger.h"
#include "simhost/screenshot.h"
#include "tests/e2e/e2e_support.h"
#include "ui/readable_colour.h"

namespace {

constexpr COLORREF DarkRed = RGB(128, 0, 0);

// The dangerous boxes a user can replace, as each group of the replace page
// shows them ("Clef Change" is never shown).
const std::vector<int> EntryWarningBoxes = {
    IDC_ENTRY_CHORD,       IDC_ENTRY_NOTE_DETAIL, IDC_ENTRY_ARTICULATION,
    IDC_ENTRY_STAFF_EXPR,  IDC_ENTRY_LYRICS,      IDC_ENTRY_TUPLET,
    IDC_ENTRY_V2_TUP_PARA, IDC_ENTRY_PERF_DATA,   IDC_ENTRY_BEAM_EXT,
    IDC_ENTRY_SPECIAL,     IDC_ENTRY_SEC_BEAM,    IDC_ENTRY_STEM_DETAIL,
    IDC_ENTRY_SLUR};
const std::vector<int> NoteWarningBoxes = {IDC_NOTE_TIE_START, IDC_NOTE_TIE_END,
                                           IDC_NOTE_CROSS_NOTE};
// Ordinary boxes, one of each group.
const std::vector<int> OrdinaryBoxes = {IDC_ENTRY_GRACE, IDC_NOTE_ACCIDENTAL};
// The style colours a group box's and a radio button's text as a box's.
const std::vector<int> OtherStyledControls = {IDC_CRITERIA_NOTE_GROUP,
                                              IDC_CRITERIA_AND};

int pixelsOf(HWND dialog, int id, COLORREF colour) {
  int count = 0;
  for (COLORREF c : paintedPixels(GetDlgItem(dialog, id))) count += c == colour;
  return count;
}

// The text colour the style gives a check box drawn from the style's
// images, as Wine's light style draws it; CLR_INVALID if none.
COLORREF styleColourOf(HWND box) {
  COLORREF colour = CLR_INVALID;
  if (HTHEME theme = OpenThemeData(box, L"Button")) {
    int background = 0;
    if (FAILED(GetThemeColor(theme, BP_CHECKBOX, CBS_MIXEDNORMAL, TMT_TEXTCOLOR,
                             &colour)) ||
        FAILED(GetThemeEnumValue(theme, BP_CHECKBOX, CBS_MIXEDNORMAL,
                                 TMT_BGTYPE, &background)) ||
        background != BT_IMAGEFILE) {
      colour = CLR_INVALID;
    }
    CloseThemeData(theme);
  }
  return colour;
}

// Sets system colours and puts the old ones back when it goes.
class SystemColours {
 public:
  SystemColours(std::vector<INT> ids, std::vector<COLORREF> colours)
      : ids_(std::move(ids)) {
    for (INT id : ids_) was_.push_back(GetSysColor(id));
    SetSysColors(static_cast<int>(ids_.size()), ids_.data(), colours.data());
  }
  ~SystemColours() {
    SetSysColors(static_cast<int>(ids_.size()), ids_.data(), was_.data());
  }

 private:
  std::vector<INT> ids_;
  std::vector<COLORREF> was_;
};

// What one look at a page saw of each box: its dark red pixels, the
// style's, and whether it is themed.
struct BoxSeen {
  int id, darkRed, style;
  bool themed;
};

}  // namespace

class VisualStylesTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    score = SimDocument(1, 1);
  }
  void runDialog(std::vector<UserStep> steps) {
    scriptedUser().expectDialog(IDD_ENTRY_CRITERIA, std::move(steps));
    std::vector<uint8_t> region = selectionRegion(1, 1, 0, 1, 1, 4096);
    callChecked(plugin().invoke, "FinaleExtensionInvoke",
                {argument(hostWindow), 0, argument(region.data()), 0});
  }
  // A look at these boxes, in the style's colour `style`.
  UserStep see(std::vector<BoxSeen>* seen, std::vector<int> ids,
               const COLORREF* style) {
    return look([=](HWND d) {
      for (int id : ids) {
        seen->push_back({id, pixelsOf(d, id, DarkRed), pixelsOf(d, id, *style),
                         GetWindowTheme(GetDlgItem(d, id)) != nullptr});
      }
    });
  }
};

TEST_F(VisualStylesTest, DangerousBoxesAreDarkRedOnlyOnTheReplacePage) {
  if (!visualStylesRun()) GTEST_SKIP() << "needs --visual-styles";
  // The replace page with entry actions, then with note actions.
  for (int group = 0; group < 2; ++group) {
    SCOPED_TRACE(group == 0 ? "entry actions" : "note actions");
    scriptedUser().reset();
    const std::vector<int>& warning =
        group == 0 ? EntryWarningBoxes : NoteWarningBoxes;
    COLORREF style = CLR_INVALID;
    std::vector<BoxSeen> search, replace, ordinary, back, others;
    int legend = 0;
    runDialog(
        {look([&](HWND d) {
           style = styleColourOf(GetDlgItem(d, IDC_ENTRY_GRACE));
         }),
         see(&search, warning, &style),
         see(&others, OtherStyledControls, &style),
         setCheck(group == 0 ? IDC_ENTRY_NOTE_REST : IDC_NOTE_UPSTEM_2ND, 1),
         click(IDC_CRITERIA_DONE), see(&replace, warning, &style),
         see(&ordinary, {OrdinaryBoxes[group]}, &style), look([&](HWND d) {
           legend = pixelsOf(d, IDC_CRITERIA_DANGER_LEGEND, DarkRed);
         }),
         click(IDC_CRITERIA_SEARCH), see(&back, warning, &style),
         click(IDC_CRITERIA_CANCEL)});
    ASSERT_NE(style, CLR_INVALID) << "the style gives check boxes no colour";
    ASSERT_NE(style, DarkRed);
    EXPECT_GT(legend, 0);
    for (const BoxSeen& box : replace) {
      EXPECT_GT(box.darkRed, 0) << box.id;
      EXPECT_EQ(box.style, 0) << box.id;
    }
    for (const std::vector<BoxSeen>* page :
         {&search, &back, &ordinary, &others}) {
      for (const BoxSeen& box : *page) {
        EXPECT_TRUE(box.themed) << box.id;
        EXPECT_EQ(box.darkRed, 0) << box.id;
        EXPECT_GT(box.style, 0) << box.id;
      }
    }
  }
}

TEST_F(VisualStylesTest, WithoutUxthemeOnlyTheStylesAreLeftAlone) {
  refuseLibraries(true);
  int legend = 0, slur = 0;
  runDialog({setCheck(IDC_ENTRY_NOTE_REST, 1), click(IDC_CRITERIA_DONE),
             look([&](HWND d) {
               legend = pixelsOf(d, IDC_CRITERIA_DANGER_LEGEND, DarkRed);
               slur = pixelsOf(d, IDC_ENTRY_SLUR, DarkRed);
             }),
             click(IDC_CRITERIA_SEARCH), click(IDC_CRITERIA_CANCEL)});
  refuseLibraries(false);
  EXPECT_GT(legend, 0);
  // A themed box keeps the style's colour; a classic one is dark red.
  EXPECT_EQ(slur > 0, !visualStylesRun());
}

TEST_F(VisualStylesTest, WarningStaysReadableOnADarkFace) {
  // Schemes the dialog opens on: a high-contrast face and text, where a red
  // of its own reads; and a grey face on which no red reads, where the
  // warning takes the scheme's button text (not its window text).
  struct Scheme {
    const char* name;
    COLORREF face, text;
    bool ownRed;
  };
  for (const Scheme& scheme :
       {Scheme{"high contrast", RGB(0, 0, 0), RGB(255, 255, 255), true},
        Scheme{"grey", RGB(128, 128, 128), RGB(255, 255, 0), false}}) {
    SCOPED_TRACE(scheme.name);
    SystemColours inForce({COLOR_BTNFACE, COLOR_BTNTEXT},
                          {scheme.face, scheme.text});
    std::vector<COLORREF> colours;
    std::vector<int> pixels, ids = EntryWarningBoxes;
    ids.push_back(IDC_CRITERIA_DANGER_LEGEND);
    runDialog({setCheck(IDC_ENTRY_NOTE_REST, 1), click(IDC_CRITERIA_DONE),
               look([&](HWND d) {
                 for (int id : ids) {
                   HDC dc = GetDC(d);
                   SendMessageA(d, WM_CTLCOLORSTATIC,
                                reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(GetDlgItem(d, id)));
                   colours.push_back(GetTextColor(dc));
                   ReleaseDC(d, dc);
                   pixels.push_back(pixelsOf(d, id, colours.back()));
                 }
               }),
               click(IDC_CRITERIA_CANCEL)});
    ASSERT_EQ(colours.size(), ids.size());
    for (size_t i = 0; i < colours.size(); ++i) {
      if (scheme.ownRed) {
        EXPECT_GE(contrastRatio(colours[i], scheme.face), ReadableContrast)
            << ids[i];
        EXPECT_NE(colours[i], scheme.text)
            << ids[i] << " told apart from ordinary rows";
      } else {
        EXPECT_EQ(colours[i], scheme.text) << ids[i];
      }
      EXPECT_GT(pixels[i], 0) << ids[i] << " drawn in that colour";
    }
  }
}
