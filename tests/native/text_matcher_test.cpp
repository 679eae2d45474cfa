// The matcher of the text command, on strings alone: finding the search
// string in one text (case folding, inline tags), continuing after a match
// or a replacement, splicing the replacement in, the tag-free copy shown by
// the results dialog, and what happens when an allocation fails. Storing a
// replaced text back is the walker's (text_walker_test.cpp).
#include "textsearch/text_matcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/counted_text_memory.h"
#include "textsearch/text_prefs.h"
#include "textsearch/text_session.h"

namespace {

namespace L = TextSearchPrefsLayout;

constexpr int None = -1;  // no match expected

struct TextRun {
  std::vector<int> offsets;
  std::string text;  // currentText at the end, "" when there is none
  int replaced = 0;
  int writes = 0;      // texts handed back to be stored
  std::string stored;  // the last of them, "" when there is none
};

bool operator==(const TextRun& a, const TextRun& b) {
  return a.offsets == b.offsets && a.text == b.text &&
         a.replaced == b.replaced && a.writes == b.writes;
}

std::string describe(const TextRun& run) {
  std::string out = "offsets {";
  for (int offset : run.offsets) out += " " + std::to_string(offset);
  return out + " } text '" + run.text + "' replaced " +
         std::to_string(run.replaced) + " writes " + std::to_string(run.writes);
}

class TextMatcherTest : public ::testing::Test {
 protected:
  void SetUp() override { failTextAllocationAt(0); }

  void TearDown() override {
    dropCurrentText(session);
    failTextAllocationAt(0);
    EXPECT_EQ(textAllocationsOutstanding(), 0) << "a text was not released";
  }

  void resetSession() {
    session.foundCount = 0;
    session.replacedCount = 0;
    session.matchOffset = 0;
    session.lengthDelta = 0;
  }

  bool stepOverTags() const { return stepsOverTags(session, tagsAllowed); }

  void use(const std::string& search, const std::string& replace,
           int16_t caseSensitive = 0, int16_t searchTags = 0) {
    resetTextSearchPrefs(&prefs);
    ASSERT_LE(search.size(), TextMaxChars);
    ASSERT_LE(replace.size(), TextMaxChars);
    memcpy(prefs.bytes + L::SearchString, search.c_str(), search.size() + 1);
    memcpy(prefs.bytes + L::ReplaceString, replace.c_str(), replace.size() + 1);
    setPrefsWord(prefs, L::ReplaceEnabled, 1);
    setPrefsWord(prefs, L::CaseSensitive, caseSensitive);
    setPrefsWord(prefs, L::SearchTags, searchTags);
    useTextPrefs(session, &prefs, characters);
  }

  // Searches one text from 0 and goes on as the results dialog does: each
  // match is replaced ("Yes to all") or declined ("No").
  TextRun runText(const std::string& text, bool replaceAll) {
    TextRun run;
    int16_t found = findInText(session, text.c_str(), 0, stepOverTags());
    while (found != 0 && run.offsets.size() < 100) {
      run.offsets.push_back(session.matchOffset);
      if (replaceAll) {
        const char* stored = replaceCurrentMatch(session);
        run.writes += stored != nullptr;
        if (stored != nullptr) run.stored = stored;
      } else {
        session.lengthDelta = 0;
      }
      found = continueInText(session, stepOverTags());
    }
    if (currentText(session) != nullptr) run.text = currentText(session);
    run.replaced = session.replacedCount;
    return run;
  }

  // Checks the copy the results dialog shows of `text`, and the position
  // it shows for a match at `position`; the text itself is not changed.
  // The text is held as the match of a search for the whole of it.
  void expectShown(const char* text, int16_t position, const char* shown,
                   int16_t shownPosition) {
    use(text, "", 1, 1);
    ASSERT_EQ(find(text), 0);
    const char* copy = displayText(session, &position);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, shown);
    EXPECT_EQ(position, shownPosition);
    EXPECT_STREQ(currentText(session), text) << "the text is not changed";
    dropCurrentText(session);
  }

  int find(const std::string& text, int16_t start = 0) {
    return findInText(session, text.c_str(), start, stepOverTags()) != 0
               ? session.matchOffset
               : None;
  }

  TextSearchSession session{};
  TextSearchPrefs prefs{};
  int16_t tagsAllowed = 1;  // of the kind whose texts are searched
  const TextCharacters* characters = nullptr;  // of the texts' code page
};

TEST_F(TextMatcherTest, FindsTheFirstMatchAtOrAfterTheStart) {
  struct Case {
    const char* what;
    const char* text;
    const char* search;
    int16_t caseSensitive, searchTags, tagsAllowed, start;
    int offset;
  };
  const Case cases[] = {
      {"case folded", "xABCabc", "abc", 0, 0, 1, 0, 1},
      {"case kept", "xABCabc", "abc", 1, 0, 1, 0, 4},
      {"any non-zero switch is on", "xABCabc", "abc", -1, 0, 1, 0, 4},
      {"search folded too", "xabc", "ABC", 0, 0, 1, 0, 1},
      {"accented small not folded", "\xC9", "\xE9", 0, 0, 1, 0, None},
      {"accented capital not folded", "\xE9", "\xC9", 0, 0, 1, 0, None},
      {"accented exact", "a\xC9\xE9", "\xE9", 0, 0, 1, 0, 2},
      {"letters fold beside accents", "\xC9T", "\xC9t", 0, 0, 1, 0, 0},
      {"no overlap from the start", "aaaa", "aa", 0, 0, 1, 0, 0},
      {"start inside", "aaaa", "aa", 0, 0, 1, 1, 1},
      {"start at the end", "abc", "c", 0, 0, 1, 3, None},
      {"start past the end", "abc", "c", 0, 0, 1, 5, None},
      {"last byte", "xyz", "z", 0, 0, 1, 0, 2},
      {"search runs past the end", "abc", "abcd", 0, 0, 1, 0, None},
      {"empty text", "", "a", 0, 0, 1, 0, None},
      {"empty search string", "abc", "", 0, 0, 1, 0, None},
      {"tag stepped over", "^font(Arial)Text", "font", 0, 0, 1, 0, None},
      {"text after the tag", "^font(Arial)Text", "text", 0, 0, 1, 0, 12},
      {"tags not stepped in kind 2", "^font(Arial)Text", "font", 0, 0, 0, 0, 1},
      {"tags searched", "^font(Arial)Text", "font", 0, 1, 1, 0, 1},
      {"tags searched, any value", "^font(Arial)Text", "font", 0, -1, 1, 0, 1},
      {"two tags in a row", "^a(1)^b(2)xy", "x", 0, 0, 1, 0, 10},
      {"match never spans a tag", "Te^size(12)xt", "Text", 0, 0, 1, 0, None},
      {"nor in kind 2", "Te^size(12)xt", "Text", 0, 0, 0, 0, None},
      {"first of two carets", "a^^font(x)b", "^", 0, 0, 1, 0, 1},
      {"caret pair", "a^^font(x)b", "^^", 0, 0, 1, 0, 1},
      {"second caret opens a tag", "a^^font(x)b", "font", 0, 0, 1, 0, None},
      {"nor a caret and a tag", "a^^font(x)b", "^f", 0, 0, 1, 0, None},
      {"after the pair's tag", "a^^font(x)b", "b", 0, 0, 1, 0, 10},
      {"pair with tags searched", "a^^font(x)b", "^f", 0, 1, 1, 0, 2},
      {"three carets", "^^^(x)y", "(", 0, 0, 1, 0, None},
      {"caret without parentheses", "a^b", "^", 0, 0, 1, 0, 1},
      {"caret at the start", "^abc", "^", 0, 0, 1, 0, 0},
      {"text behind a lone caret", "^abc", "abc", 0, 0, 1, 0, 1},
      {"caret at the end", "ab^", "^", 0, 0, 1, 0, 2},
      {"carets at the end", "ab^^", "^^", 0, 0, 1, 0, 2},
      {"tag never closes", "^font(Arial", "font", 0, 0, 1, 0, 1},
      {"closing before opening", "^x)y", ")", 0, 0, 1, 0, 2},
      {"tag runs to the first close after the open", "^a)b(c)d", "b", 0, 0, 1,
       0, None},
      {"behind that tag", "^a)b(c)d", "d", 0, 0, 1, 0, 7},
      {"tag ends the text", "ab^c(d)", "c", 0, 0, 1, 2, None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    use(c.search, "", c.caseSensitive, c.searchTags);
    tagsAllowed = c.tagsAllowed;
    session.matchOffset = 77;
    EXPECT_EQ(find(c.text, c.start), c.offset);
    if (c.offset != None) {
      ASSERT_NE(currentText(session), nullptr);
      EXPECT_STREQ(currentText(session), c.text) << "a copy of the whole text";
    }
    dropCurrentText(session);
  }
}

TEST_F(TextMatcherTest, ContinuesAfterEachMatchOrReplacement) {
  struct Case {
    const char* what;
    const char* text;
    const char* search;
    const char* replace;  // null: every match declined
    int16_t caseSensitive;
    std::vector<int> offsets;
    const char* result;
  };
  const Case cases[] = {
      {"declined", "xABCabc", "abc", nullptr, 0, {1, 4}, "xABCabc"},
      {"declined, case kept", "xABCabc", "abc", nullptr, 1, {4}, "xABCabc"},
      {"no overlap", "aaaa", "aa", nullptr, 0, {0, 2}, "aaaa"},
      {"shorter, no overlap", "aaaa", "aa", "a", 0, {0, 1}, "aa"},
      {"longer", "aXa", "a", "bb", 0, {0, 3}, "bbXbb"},
      {"never inside the replacement", "aa", "a", "aa", 0, {0, 2}, "aaaa"},
      {"deleted, on at the match", "aab", "a", "", 0, {0, 0}, "b"},
      {"deleted inside", "xaxa", "a", "", 0, {1, 2}, "xx"},
      {"inserted as typed", "Abc abc", "abc", "XyZ", 0, {0, 4}, "XyZ XyZ"},
      {"matched bytes only", "abcabc", "bc", "", 0, {1, 2}, "aa"},
      {"tags stepped over on",
       "^f(abc)abc^s(1)abc",
       "abc",
       nullptr,
       0,
       {7, 15},
       "^f(abc)abc^s(1)abc"},
      {"tags kept by a replacement",
       "^f(abc)abc^s(1)abc",
       "abc",
       "d",
       0,
       {7, 13},
       "^f(abc)d^s(1)d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    resetSession();
    use(c.search, c.replace ? c.replace : "", c.caseSensitive);
    const TextRun run = runText(c.text, c.replace != nullptr);
    EXPECT_EQ(run.offsets, c.offsets);
    EXPECT_EQ(run.text, c.result);
    const int replaced = c.replace ? static_cast<int>(c.offsets.size()) : 0;
    EXPECT_EQ(run.replaced, replaced);
    EXPECT_EQ(run.writes, replaced);
    if (replaced > 0) {
      EXPECT_EQ(run.stored, c.result);
      EXPECT_EQ(session.lengthDelta, static_cast<int>(strlen(c.replace)) -
                                         static_cast<int>(strlen(c.search)));
    }
    dropCurrentText(session);
  }
}

TEST_F(TextMatcherTest, DisplayTextLeavesTagsOutAndMovesThePosition) {
  struct Case {
    const char* text;
    int16_t position;
    const char* shown;
    int16_t shownPosition;  // the dialog adds 1
  };
  const Case cases[] = {
      {"^font(Arial)^size(12)Hello", 21, "Hello", 0},
      {"Hi ^size(12)there", 12, "Hi there", 12},
      {"^font(Arial)abc", 1, "abc", -11},
      {"^^font(x)a", 9, "^a", 9},
      {"^^^(x)y", 6, "^^y", 6},
      {"a^b", 1, "a^b", 1},
      {"^abc", 0, "^abc", 0},
      {"ab^", 2, "ab^", 2},
      {"ab^^", 2, "ab^^", 2},
      {"^font(Arial", 1, "^font(Arial", 1},
      {"^x)y(z)w", 7, "w", 0},
      {"^a(1)", 0, "", -5},
      {"x^a(1)^b(2)", 0, "x", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    expectShown(c.text, c.position, c.shown, c.shownPosition);
  }
}

TEST_F(TextMatcherTest, SearchStringsAreTakenToFiftyCharacters) {
  const std::string fifty(50, 'q');
  use(fifty, "r");
  EXPECT_EQ(session.pattern.searchLength, 50);
  EXPECT_EQ(find("x" + fifty + "y"), 1);
  EXPECT_EQ(find(std::string(49, 'q') + "Q"), 0) << "folded to the last byte";
  EXPECT_EQ(find(std::string(49, 'q')), None);
  // A stored field without a terminator: its 51st byte is not taken.
  memset(prefs.bytes + L::SearchString, 's', TextFieldSize);
  useTextPrefs(session, &prefs);
  EXPECT_EQ(session.pattern.searchLength, 50);
  EXPECT_EQ(find(std::string(50, 's')), 0);
}

TEST_F(TextMatcherTest, LongTextsAreNeitherSearchedNorMadeLonger) {
  use("@", "@@");
  // Offsets are 16-bit: a text of 32,766 bytes is searched, one of 32,767
  // is not.
  EXPECT_EQ(find(std::string(32765, 'a') + "@"), 32765);
  dropCurrentText(session);
  EXPECT_EQ(find(std::string(32766, 'a') + "@"), None);

  // Growing to the limit is refused: nothing replaced, written or counted.
  const std::string atLimit = std::string(TextLengthLimit - 2, 'a') + "@";
  ASSERT_EQ(find(atLimit), TextLengthLimit - 2);
  session.lengthDelta = 5;
  EXPECT_EQ(replaceCurrentMatch(session), nullptr) << "nothing to store";
  EXPECT_EQ(session.lengthDelta, 0);
  EXPECT_EQ(session.replacedCount, 0);
  EXPECT_EQ(currentText(session), atLimit);
  EXPECT_EQ(continueInText(session, stepOverTags()), 0);

  // One byte shorter, the replacement is made.
  const std::string below = std::string(TextLengthLimit - 3, 'a') + "@";
  ASSERT_EQ(find(below), TextLengthLimit - 3);
  const char* stored = replaceCurrentMatch(session);
  EXPECT_EQ(session.replacedCount, 1);
  EXPECT_EQ(strlen(currentText(session)), size_t(TextLengthLimit - 1));
  EXPECT_EQ(stored, currentText(session));
}

TEST_F(TextMatcherTest, AGrowingTextTakesNoMoreThanTheLongestText) {
  // Held with room to grow by half, then grown by half again past the
  // longest text: the block stops at what the longest text needs.
  use("@", std::string(TextMaxChars, 'b'));
  ASSERT_EQ(find(std::string(16000, '@')), 0);
  do replaceCurrentMatch(session);
  while (continueInText(session, stepOverTags()) != 0);
  EXPECT_EQ(strlen(currentText(session)), size_t(TextLengthLimit - 9));
  EXPECT_EQ(largestTextBlock(), size_t(TextLengthLimit));
}

TEST_F(TextMatcherTest, ReplacementsAreCountedPast32767) {
  use("a", "b");
  session.replacedCount = INT16_MAX;
  ASSERT_EQ(find("a"), 0);
  replaceCurrentMatch(session);
  EXPECT_EQ(session.replacedCount, INT16_MAX + 1);
}

TEST_F(TextMatcherTest, FailedAllocationsAtEachStepOfAReplacement) {
  // Allocations of replacing 'a' by 'bb' in 'aXa': 1 the text held at the
  // first match, with room for one longer replacement; 2 a larger block at
  // the second replacement.
  struct Case {
    int failAt;
    std::vector<int> offsets;
    const char* text;
    int replaced;
  };
  const Case cases[] = {
      {0, {0, 3}, "bbXbb", 2},
      {1, {}, "", 0},
      {2, {0, 3}, "bbXa", 1},
      {3, {0, 3}, "bbXbb", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("allocation " + std::to_string(c.failAt) + " fails");
    resetSession();
    use("a", "bb");
    failTextAllocationAt(c.failAt);
    const TextRun run = runText("aXa", true);
    failTextAllocationAt(0);
    EXPECT_EQ(run.offsets, c.offsets);
    EXPECT_EQ(run.text, c.text);
    EXPECT_EQ(run.replaced, c.replaced);
    EXPECT_EQ(run.writes, c.replaced);
    EXPECT_EQ(run.stored, c.replaced ? c.text : "");
    dropCurrentText(session);
    EXPECT_EQ(textAllocationsOutstanding(), 0);
  }
}

TEST_F(TextMatcherTest, NoFailedAllocationLeaksOrMiscounts) {
  // A kind whose texts hold no tags: the match inside the tag is found.
  tagsAllowed = 0;
  const std::string text = "Abc ^f(abc)abc abC";
  use("abc", "XY");
  const TextRun clean = runText(text, true);
  ASSERT_EQ(clean.offsets, (std::vector<int>{0, 6, 9, 12}));
  ASSERT_EQ(clean.text, "XY ^f(XY)XY XY");
  dropCurrentText(session);
  int failAt = 1;
  for (; failAt < 100; ++failAt) {
    SCOPED_TRACE("allocation " + std::to_string(failAt) + " fails");
    resetSession();
    failTextAllocationAt(failAt);
    const TextRun run = runText(text, true);
    failTextAllocationAt(0);
    dropCurrentText(session);
    EXPECT_EQ(textAllocationsOutstanding(), 0);
    if (run == clean) break;  // the run made fewer allocations
    EXPECT_LE(run.replaced, static_cast<int>(run.offsets.size()));
    EXPECT_LE(run.writes, run.replaced);
    EXPECT_GE(run.writes, run.replaced - 1) << describe(run);
  }
  EXPECT_EQ(failAt, 2) << "one block for the text, whatever its matches";
  EXPECT_LT(failAt, 100) << "a run without a failing allocation was reached";
}

TEST_F(TextMatcherTest, DisplayTextThatCannotBeAllocatedIsNone) {
  use("a", "");
  ASSERT_EQ(find("^b(1)a"), 5);
  failTextAllocationAt(1);
  int16_t position = 5;
  EXPECT_EQ(displayText(session, &position), nullptr);
  EXPECT_EQ(position, 5);
}

}  // namespace

// Double-byte characters: a lead byte 0x83 and a trail byte that looks like
// an ASCII letter, a caret or a parenthesis. Under UTF-8, 0x83 is a stray
// continuation byte, a character of its own.
// clang-format off
#define KA "\x83" "A"
#define Ka "\x83" "a"
#define KCaret "\x83" "^"
#define X40 "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
// UTF-8: e acute, alpha, katakana a, an emoji.
#define EACUTE "\xC3\xA9"
#define ALPHA "\xCE\xB1"
#define KATAKANA "\xE3\x82\xA2"
#define EMOJI "\xF0\x9F\x98\x80"
// clang-format on

TEST_F(TextMatcherTest, CharactersOfEveryCodePageAreNeverSplitOrReadAsTags) {
  struct CodePage {
    const char* name;
    TextCharacters characters;
    std::vector<uint8_t> leadRanges;  // as the system gives them
    CharacterForm form;
  };
  // Lead-byte ranges as the system gives them: pairs, then zeros, in 12
  // bytes.
  const std::vector<uint8_t> japanese = {0x81, 0x9F, 0xE0, 0xFC, 0, 0,
                                         0,    0,    0,    0,    0, 0};
  const std::vector<uint8_t> chineseOrKorean = {0x81, 0xFE, 0, 0, 0, 0,
                                                0,    0,    0, 0, 0, 0};
  const std::vector<uint8_t> none(12, 0);
  auto of = [](uint32_t page, const std::vector<uint8_t>& lead) {
    return charactersOfCodePage(page, lead.data(), lead.size());
  };
  // The same ranges given in an odd number of bytes: the last is no pair.
  const std::vector<uint8_t> cutShort = {0x81, 0x9F, 0xE0, 0xFC, 0xE0};
  // And with bytes after the zeros that end them, which are not read.
  const std::vector<uint8_t> ended = {0x81, 0x9F, 0xE0, 0xFC, 0, 0, 0x41, 0x7A};
  const CodePage codePages[] = {
      {"932", of(932, japanese), japanese, CharacterForm::DoubleByte},
      {"932, its ranges cut short", of(932, cutShort), japanese,
       CharacterForm::DoubleByte},
      {"932, bytes after its ranges' end", of(932, ended), japanese,
       CharacterForm::DoubleByte},
      {"936, 949, 950", of(936, chineseOrKorean), chineseOrKorean,
       CharacterForm::DoubleByte},
      {"1252", of(1252, none), {}, CharacterForm::SingleByte},
      {"65001", of(65001, none), {}, CharacterForm::Utf8}};
  // A result of null: the case is not one of that form.
  struct Run {
    std::vector<int> offsets;
    const char* result;
  };
  struct Case {
    const char* what;
    const char* text;
    const char* search;
    const char* replace;
    Run doubleByte, singleByte, utf8;
    int16_t caseSensitive = 0;
  };
  const Run notDoubleByte{{}, nullptr};
  // clang-format off
  const Case cases[] = {
      // The second outgrows the text's block by more than half of it.
      {"replacements longer than the text", "a a", "a", X40,
       {{0, 41}, X40 " " X40}, {{0, 41}, X40 " " X40},
       {{0, 41}, X40 " " X40}},
      {"letter in a trail byte", "x" KA "a", "a", "b",
       {{3}, "x" KA "b"}, {{2, 3}, "x\x83" "bb"}, {{2, 3}, "x\x83" "bb"}},
      {"trail bytes not folded", Ka KA, KA, "",
       {{2}, Ka}, {{0, 0}, ""}, {{0, 0}, ""}},
      {"trail letter after a one-byte letter", "x" Ka "x" KA, "x" KA, "",
       {{3}, "x" Ka}, {{0, 0}, ""}, {{0, 0}, ""}},
      {"one-byte letter after a trail letter", "x" KA "cx" KA "b", "x" KA "b",
       "", {{4}, "x" KA "c"}, {{4}, "x" KA "c"}, {{4}, "x" KA "c"}},
      {"case kept beside a trail letter", "A" KA "aA", "a", "b",
       {{3}, "A" KA "bA"}, {{3}, "A\x83" "AbA"}, {{3}, "A\x83" "AbA"}, 1},
      {"trail caret opens no tag", KCaret "x(y)z", "x", "ww",
       {{2}, KCaret "ww(y)z"}, {{}, ""}, {{}, ""}},
      {"trail parenthesis before an opening one", "^b\x83((c)d", "c", "x",
       {{}, ""}, {{}, ""}, {{}, ""}},
      {"search on behind a trail in the lead range", "\x88\x9F" "ab", "ab",
       "c", {{2}, "\x88\x9F" "c"}, {{2}, "\x88\x9F" "c"},
       {{2}, "\x88\x9F" "c"}},
      {"trail bytes in the lead range before a match",
       "\x88\x9F\x88\x9F\x9F\x88", "\x9F\x88", "x",
       {{4}, "\x88\x9F\x88\x9F" "x"}, {{1, 3}, "\x88x\x9F" "x"},
       {{1, 3}, "\x88x\x9F" "x"}},
      {"trail bytes of the search string not folded", KA Ka, Ka, "",
       {{2}, KA}, {{0, 0}, ""}, {{0, 0}, ""}},
      {"trail parenthesis closes no tag", "^b(c\x83)d)e", "d", "D",
       {{}, ""}, {{6}, "^b(c\x83)D)e"}, {{6}, "^b(c\x83)D)e"}},
      {"trail parenthesis opens no tag", "^b\x83(c)d", "c", "",
       {{4}, "^b\x83()d"}, {{}, ""}, {{}, ""}},
      {"lone lead byte at the end", "ab\x83", "b", KA,
       {{1}, "a" KA "\x83"}, {{1}, "a" KA "\x83"}, {{1}, "a" KA "\x83"}},
      {"search string ending in half a character", "a\x83", "a\x83", "Z",
       {{0}, "Z\x83"}, {{0}, "Z"}, {{0}, "Z"}},
      {"replacement holding a trail letter", "aXa", "a", Ka,
       {{0, 3}, Ka "X" Ka}, {{0, 3}, Ka "X" Ka}, {{0, 3}, Ka "X" Ka}},
      {"shrinking beside double-byte characters", KA "aa" KA "a", "aa", "a",
       {{2}, KA "a" KA "a"}, {{1, 4}, "\x83" "aa" "\x83" "a"},
       {{1, 4}, "\x83" "aa" "\x83" "a"}},
      {"search string ending in part of a UTF-8 character", "q\xC3\xA8z",
       "q\xC3", "X", notDoubleByte, {{0}, "X\xA8z"}, {{0}, "X\xC3\xA8z"}},
      {"replacement ending in part of a UTF-8 character", "abc", "b",
       "r\xC3", notDoubleByte, {{1}, "ar\xC3" "c"}, {{1}, "arc"}},
      {"continuation byte inside a character", ALPHA "a" ALPHA, "\xB1", "x",
       notDoubleByte, {{1, 4}, "\xCEx" "a\xCEx"}, {{}, ""}},
      {"continuation byte inside a four-byte character", EMOJI "a", "\x80" "a",
       "", notDoubleByte, {{3}, "\xF0\x9F\x98"}, {{}, ""}},
      {"stray continuation byte", EACUTE "\xA9", "\xA9", "x",
       notDoubleByte, {{1, 2}, "\xC3xx"}, {{2}, EACUTE "x"}},
      {"character cut short by a letter", "\xE3\x82" "a" KATAKANA, "a", "b",
       notDoubleByte, {{2}, "\xE3\x82" "b" KATAKANA},
       {{2}, "\xE3\x82" "b" KATAKANA}},
      {"character cut short by the end", "b" KATAKANA "\xF0\x9F", "b", "",
       notDoubleByte, {{0}, KATAKANA "\xF0\x9F"},
       {{0}, KATAKANA "\xF0\x9F"}},
      {"search string ending in a lead cut short by another", "\xE7\x80\x80",
       "\xE7\xE7", "x", notDoubleByte, {{}, ""}, {{}, ""}},
      {"overlong form", "\xC0\x80" "a", "\x80" "a", "x",
       notDoubleByte, {{1}, "\xC0x"}, {{1}, "\xC0x"}},
      {"overlong lead continuing nothing", "\xC3\xC1" "a", "\xC1", "x",
       notDoubleByte, {{1}, "\xC3x" "a"}, {{1}, "\xC3x" "a"}},
      {"byte above F4", "\xF5\x80\x80" "a", "\x80", "",
       notDoubleByte, {{1, 1}, "\xF5" "a"}, {{1, 1}, "\xF5" "a"}},
  };
  // clang-format on

  struct Shown {
    const char* text;
    int16_t position;
    const char* doubleByte;  // null: not a case of that form
    int16_t doubleBytePosition;
    const char* singleByte;  // and UTF-8, where tags are ASCII
    int16_t singleBytePosition;
  };
  const Shown shown[] = {
      {"^f(x)" KA "y", 7, KA "y", 2, KA "y", 2},
      {KCaret "b(c)d", 6, KCaret "b(c)d", 6,
       "\x83"
       "d",
       6},
      {"^b\x83(c)d", 6, "^b\x83(c)d", 6, "d", 0},
      {KCaret "^b(c)d", 7, KCaret "d", 7, KCaret "d", 7},
      // A caret after a UTF-8 lead that nothing continues opens a tag.
      {"\xC3^b(c)d", 6, nullptr, 0,
       "\xC3"
       "d",
       6},
      {"ab\x83", 0, "ab\x83", 0, "ab\x83", 0},
      {"\xE3\x82^b(c)" EMOJI "\xF0", 2, nullptr, 0, "\xE3\x82" EMOJI "\xF0", 2},
  };
  // Stored strings of 51 bytes, cut at 50 inside a character.
  struct Stored {
    std::string text;
    int16_t doubleByteLength, singleByteLength, utf8Length;
  };
  const Stored stored[] = {
      {std::string(49, 'q') + KA, 49, 50, 50},
      {std::string(49, 'q') + EACUTE, -1, 50, 49},
      {std::string(48, 'q') + KATAKANA, -1, 50, 48},
      {std::string(47, 'q') + EMOJI, -1, 50, 47},
      // the last lead byte of each UTF-8 length
      {std::string(49, 'q') + "\xDF\xBF", -1, 50, 49},
      {std::string(48, 'q') + "\xEF\xBF\xBF", -1, 50, 48},
      {std::string(47, 'q') + "\xF4\x8F\xBF\xBF", -1, 50, 47}};
  for (const CodePage& page : codePages) {
    SCOPED_TRACE(page.name);
    const CharacterForm form = page.form;
    EXPECT_EQ(page.characters.form, form);
    characters = &page.characters;
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      const Run& expected = form == CharacterForm::DoubleByte ? c.doubleByte
                            : form == CharacterForm::Utf8     ? c.utf8
                                                              : c.singleByte;
      if (expected.result == nullptr) continue;
      resetSession();
      use(c.search, c.replace, c.caseSensitive);
      const TextRun run = runText(c.text, true);
      EXPECT_EQ(run.offsets, expected.offsets);
      EXPECT_EQ(run.text, expected.result);
      EXPECT_EQ(run.writes, static_cast<int>(expected.offsets.size()));
      dropCurrentText(session);
    }
    for (const Shown& c : shown) {
      SCOPED_TRACE(c.text);
      const bool doubleByte = form == CharacterForm::DoubleByte;
      if (doubleByte && c.doubleByte == nullptr) continue;
      expectShown(c.text, c.position, doubleByte ? c.doubleByte : c.singleByte,
                  doubleByte ? c.doubleBytePosition : c.singleBytePosition);
    }
    // Both ends of every lead-byte range take the letter after them; the
    // bytes just outside the range do not.
    use("a", "");
    for (size_t i = 0; i + 1 < page.leadRanges.size(); i += 2) {
      const int first = page.leadRanges[i], last = page.leadRanges[i + 1];
      if (first == 0) break;
      for (int lead : {first, last}) {
        EXPECT_EQ(find({static_cast<char>(lead), 'a'}), None) << lead;
      }
      for (int outside : {first - 1, last + 1}) {
        EXPECT_EQ(find({static_cast<char>(outside), 'a'}), 1) << outside;
      }
    }
    if (form == CharacterForm::DoubleByte) {
      // A start on a trail byte: the search begins behind its character;
      // one on a character's start begins there.
      use(KA, "");
      EXPECT_EQ(find("x" KA "A", 2), None);
      use("A", "");
      EXPECT_EQ(find("x" KA "A", 2), 3);
      use("a", "");
      EXPECT_EQ(find("a" KA "a", 3), 3);
    }
    if (form == CharacterForm::Utf8) {
      // A start inside a character; BF is the last continuation byte.
      // Four bytes on, where it is looked back over; and a start on the
      // character after it begins there.
      const std::pair<const char*, int16_t> insides[] = {{ALPHA "\xB1", 2},
                                                         {"\xC2\xBF\xBF", 2},
                                                         {EMOJI "\x80", 4},
                                                         {KATAKANA "x", 3}};
      for (const auto& [inside, width] : insides) {
        use(inside + width, "");
        for (int16_t at = 1; at < width; ++at) {
          EXPECT_EQ(find(inside, at), width) << inside << at;
          EXPECT_EQ(find(std::string("abcd") + inside, at + 4), width + 4);
        }
        EXPECT_EQ(find(inside, width), width) << inside;
      }
      // Behind stray continuation bytes at the start of a text long enough
      // to have a block of its own, where a read before it shows.
      use("a", "");
      EXPECT_EQ(find("\x80\x80" + std::string(20, 'b') + "a", 1), 22);
      for (const char* after : {"\x7F", "\xFF"}) {  // no continuation bytes
        use(after, "");
        EXPECT_EQ(find(std::string("\xC3") + after), 1) << after;
      }
    }
    for (const Stored& c : stored) {
      const int16_t expected =
          form == CharacterForm::DoubleByte ? c.doubleByteLength
          : form == CharacterForm::Utf8     ? c.utf8Length
                                            : c.singleByteLength;
      if (expected < 0) continue;
      memcpy(prefs.bytes + L::SearchString, c.text.data(), TextFieldSize);
      useTextPrefs(session, &prefs, characters);
      EXPECT_EQ(session.pattern.searchLength, expected) << c.text;
    }
  }
  // Lead bytes that are letters (no system's are): a letter of the other
  // case matches only where it is a character of its own, and a lead is
  // never folded.
  const struct {
    char lead;
    const char *search, *text;
  } letterLeadCases[] = {{'A', "a", "Ab a"},
                         {'z', "Z", "zb Z"},
                         {'z', "z1", "Z1 z1"},
                         {'A', "A1", "a1 A1"}};
  for (const auto& c : letterLeadCases) {
    const uint8_t range[] = {uint8_t(c.lead), uint8_t(c.lead), 0, 0};
    const TextCharacters letterLeads = doubleByteCharacters(range, 4);
    characters = &letterLeads;
    use(c.search, "");
    EXPECT_EQ(find(c.text), 3) << c.text;
  }
}

// "Yes to all" through one long text as the results dialog runs it, beside
// a plain reference: matches found character by character, the tag rule
// applied byte by byte to make each copy shown, std::string replacing. In
// the double-byte form 0x83 takes the byte after it, even a caret or a
// parenthesis; elsewhere every byte is a character as far as tags go.
TEST_F(TextMatcherTest, LongTextsAreShownAndReplacedAsAPlainReferenceDoes) {
  std::string text = "^font(Times)i^size(12)^q(1)";
  // Carets that open no tag: no ')' after the '(' ahead of them.
  std::string lone = "^W lai ";
  for (int k = 0; k < 300; ++k) {
    text += std::string(k % 5 ? "do " : "do ^nfx(1)") +
            "lai " KCaret " \x83(x) " ALPHA " " + (k % 7 ? "" : "a^^b ") +
            (k % 11 ? "" : "\xC3^W^q(1)");
    lone += std::string(k % 4 ? "^x " : "^^ ") + "lai " KCaret " " +
            (k % 60 == 30 ? "( " : "");
  }
  text += "^ end (";                       // a caret that opens no tag
  const std::string late = "lai " + lone;  // a match before the first caret
  const std::string closing = "W)";        // a replacement makes it all a tag
  const std::string opening = "^(a) ^b";   // a '(' at 0 once its caret goes
  std::string unopened, matchFirst;        // carets and ')', no '('
  std::string closed;                      // tags, each around a match
  std::string words;                       // no caret, no parenthesis
  // A '(' that two replacements move before the carets after them read it.
  const std::string carets = "^a ^a ^b (x) y ^a ^c (z)";
  // A lone caret in each match; the first follows a tag.
  const std::string afterTag = "^t(1)W^q z W^q w";
  for (int k = 0; k < 100; ++k) {
    unopened += "^qa) ", matchFirst += "a ^b) ", words += "lai ";
    closed += "^b (lai) ";
  }
  const uint8_t japanese[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
  const TextCharacters forms[] = {singleByteCharacters(), utf8Characters(),
                                  doubleByteCharacters(japanese, 6)};
  struct Case {
    const char* search;
    const char* replace;
    int16_t tagsAllowed;  // 0: matches inside tags too
    const std::string* text;
  } const cases[] = {
      {"i", "", 1, &text},
      {"i", "y", 1, &text},
      {"i", "iii", 1, &text},
      {"i", "^b(", 1, &text},
      {"i", "x", 0, &text},
      {"^n", "z", 0, &text},
      {"e", "", 0, &text},  // inside the tags that lead the copy
      {"W", "", 0, &text},  // pairs the carets on both sides, one behind C3
      {"lai", "l(i", 1, &text},
      {"lai", "l)", 1, &text},
      {"(", "", 0, &text},
      {")", "))", 0, &text},
      {"^", "", 0, &text},
      {" ", "^", 1, &text},
      {" \x83(x)", "(1)", 0, &text},  // after a trail caret: no tag
      {"o ", "", 1, &text},           // a tag then follows a shown byte
      {"x", "^", 0, &text},
      {"do", "", 1, &text},
      {"^b", "(", 0, &text},  // the caret before it now opens a tag
      {"lai", "lae", 1, &lone},
      {"lai", ")", 1, &lone},
      {"lai", "(", 1, &lone},
      {"x", "", 1, &lone},
      {"^", "", 0, &lone},
      {"W lai", "", 1, &lone},
      {"lai", ")", 1, &late},
      {"lai", "(", 1, &late},
      {"a", ")(", 1, &unopened},
      {"a", "a)(", 1, &unopened},     // a ')' before the '(' brought
      {"a", "(", 1, &unopened},       // the '(' first: the caret before opens
      {"a", "\x83((", 1, &unopened},  // a '(' behind a trail byte that is one
      {"a", "a^z", 1, &matchFirst},
      // Each closes its tag early; the copy, once out of room, is made
      // anew from the first tag, whose ')' lies before the match.
      {"lai", ")aixxxxxxxxxx", 0, &closed},
      {"W", "^z(", 0, &closing},
      {"^", "", 0, &opening},
      {"^a", "", 0, &carets},
      {"W^q", "(", 1, &afterTag},  // no lone caret known once the first goes
      {"lai", ")^(", 1, &words},   // each closes the tag the one before opened
      // Longer by three each: the copy's room is full at the 67th.
      {"lai", "laixxx", 1, &words},
      {"lai", "(lai)x", 1, &words}};
  for (const TextCharacters& form : forms) {
    const bool doubleByte = form.form == CharacterForm::DoubleByte;
    auto width = [&](const std::string& t, size_t i) -> size_t {
      return doubleByte && t[i] == '\x83' && i + 1 < t.size() ? 2 : 1;
    };
    // The first '(' and ')' at or after each character start of a text.
    std::vector<size_t> opens, closes;
    auto index = [&](const std::string& t) {
      std::vector<bool> start(t.size(), false);
      for (size_t i = 0; i < t.size(); i += width(t, i)) start[i] = true;
      opens.assign(t.size() + 2, std::string::npos);
      closes = opens;
      for (size_t i = t.size(); i-- > 0;) {
        opens[i] = start[i] && t[i] == '(' ? i : opens[i + 1];
        closes[i] = start[i] && t[i] == ')' ? i : closes[i + 1];
      }
    };
    auto tagEnd = [&](const std::string& t, size_t i) -> size_t {
      if (t[i] != '^' || t[i + 1] == '^') return 0;
      const size_t open = opens[i + 1];
      const size_t close = open == std::string::npos ? open : closes[open + 1];
      return close == std::string::npos ? 0 : close + 1;
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(int(form.form)) + " '" + c.search + "' '" +
                   c.replace + "'");
      characters = &form;
      tagsAllowed = c.tagsAllowed;
      resetSession();
      use(c.search, c.replace);
      std::string expected = *c.text;
      int16_t found = findInText(session, c.text->c_str(), 0, stepOverTags());
      const size_t searched = strlen(c.search);
      for (size_t from = 0, at;; from = at + strlen(c.replace)) {
        index(expected);
        for (at = from; at < expected.size(); at += width(expected, at)) {
          while (c.tagsAllowed && tagEnd(expected, at))
            at = tagEnd(expected, at);
          if (expected.compare(at, searched, c.search) == 0) break;
        }
        if (at >= expected.size()) break;
        std::string shown;
        int leading = 0;
        for (size_t i = 0, end; i < expected.size(); i = end) {
          end = tagEnd(expected, i);
          if (end != 0 && shown.empty()) leading += end - i;
          if (end == 0) shown.append(expected, i, width(expected, i));
          if (end == 0) end = i + width(expected, i);
        }
        ASSERT_EQ(found, 1);
        ASSERT_EQ(session.matchOffset, static_cast<int>(at));
        int16_t position = session.matchOffset;
        const char* copy = displayText(session, &position);
        ASSERT_NE(copy, nullptr);
        ASSERT_EQ(copy, shown) << "match at " << at;
        ASSERT_EQ(position, static_cast<int>(at) - leading);
        ASSERT_NE(replaceCurrentMatch(session), nullptr);
        ASSERT_EQ(currentText(session),
                  expected.replace(at, searched, c.replace));
        found = continueInText(session, stepOverTags());
      }
      EXPECT_EQ(found, 0);
      // Only 'e', 'W...' and '^b' are rare: every other string is replaced
      // throughout the text.
      EXPECT_GE(session.replacedCount, strchr("eW^", c.search[0]) ? 1 : 60);
      dropCurrentText(session);
    }
  }
}
