#include "entrysearch/entry_criteria.h"

#include "entrysearch/entry_matching.h"
#include "host/byte_access.h"
#include "host/host_records.h"

namespace L = EntryOptionsLayout;

namespace {

// Adds one active flag row to a test. Each row stands for one bit (the
// tables make sure of it), so On and Off are that bit set and clear under
// AND and OR alike.
void addFlagRow(LevelTest& test, int16_t option, uint32_t mask, bool wide) {
  uint32_t& set = wide ? test.set32 : test.set16;
  uint32_t& clear = wide ? test.clear32 : test.clear16;
  if (option == TriOn) {
    set |= mask;
  } else if (option == TriOff) {
    clear |= mask;
  } else if (test.matchAll) {
    test.neverHolds = true;  // a word outside 0..2 is a criterion that fails
  }
}

// The level's enabled value criteria of a record, in row order; a replace
// record's search-only rows store nothing.
size_t compileValues(const EntryOptions& record, CriterionLevel level,
                     bool storing,
                     EnabledValue (&values)[ValueCriterionCount]) {
  size_t count = 0;
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    if (row.level != level || (storing && row.searchOnly) ||
        optionWord(record, row.enabledOffset) == 0) {
      continue;
    }
    values[count++] = EnabledValue{&row, optionWord(record, row.valueOffset)};
  }
  return count;
}

LevelTest valuesTest(const EntryOptions& search, CriterionLevel level) {
  LevelTest test{};
  test.matchAll = optionWord(search, L::MatchAll) != 0;
  test.valueCount = compileValues(search, level, false, test.values);
  return test;
}

LevelAction valuesAction(const EntryOptions& replace, CriterionLevel level) {
  LevelAction action{};
  action.valueCount = compileValues(replace, level, true, action.values);
  return action;
}

LevelTest withCareMasks(LevelTest test) {
  test.care32 = test.set32 | test.clear32;
  test.care16 = test.set16 | test.clear16;
  return test;
}

// A row's action on its bit, which no other row has (the tables make sure
// of it): the word becomes (word & ~clear) | set.
void addAction(uint32_t& clear, uint32_t& set, int16_t option, uint32_t mask) {
  if (option == TriOff) {
    clear |= mask;
  } else if (option == TriOn) {
    set |= mask;
  }
}

LevelTest compileEntryTest(const EntryOptions& search) {
  LevelTest test = valuesTest(search, CriterionLevel::Entry);
  for (const EntryFlagRow& row : EntryFlagTable) {
    const int16_t option = optionWord(search, row.optionOffset);
    if (option == TriIgnore) continue;
    const bool wide = row.mask32 != 0;
    addFlagRow(test, option, wide ? row.mask32 : row.mask16, wide);
  }
  return withCareMasks(test);
}

LevelTest compileNoteTest(const EntryOptions& search) {
  LevelTest test = valuesTest(search, CriterionLevel::Note);
  for (const NoteFlagRow& row : NoteFlagTable) {
    const int16_t option = optionWord(search, row.optionOffset);
    if (option != TriIgnore) addFlagRow(test, option, row.mask32, true);
  }
  return withCareMasks(test);
}

LevelAction compileEntryAction(const EntryOptions& replace) {
  LevelAction action = valuesAction(replace, CriterionLevel::Entry);
  for (const EntryFlagRow& row : EntryFlagTable) {
    if (row.searchOnly) continue;
    const int16_t option = optionWord(replace, row.optionOffset);
    if (row.mask32 != 0) {
      addAction(action.clear32, action.set32, option, row.mask32);
    } else {
      addAction(action.clear16, action.set16, option, row.mask16);
    }
  }
  return action;
}

LevelAction compileNoteAction(const EntryOptions& replace) {
  LevelAction action = valuesAction(replace, CriterionLevel::Note);
  for (const NoteFlagRow& row : NoteFlagTable) {
    if (row.searchOnly) continue;
    addAction(action.clear32, action.set32,
              optionWord(replace, row.optionOffset), row.mask32);
  }
  return action;
}

}  // namespace

CompiledCriteria compileCriteria(const EntryOptions& search,
                                 const EntryOptions& replace) {
  return CompiledCriteria{compileEntryTest(search), compileNoteTest(search),
                          compileEntryAction(replace),
                          compileNoteAction(replace),
                          optionWord(replace, L::NoteLevel) != 0};
}
