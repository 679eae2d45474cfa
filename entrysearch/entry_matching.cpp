#include "entrysearch/entry_matching.h"

#include "host/byte_access.h"
#include "host/host_records.h"

namespace L = EntryOptionsLayout;

namespace {

// Combines criteria in order: AND stops at the first that fails, OR at the
// first that holds.
class Criteria {
 public:
  explicit Criteria(const EntryOptions& search)
      : matchAll_(optionWord(search, L::MatchAll) != 0) {}

  // Takes one active criterion; answers true once the outcome is known.
  bool decided(bool holds) {
    if (holds != matchAll_) {
      known_ = true;
      result_ = holds;
    }
    return known_;
  }
  bool result() const { return known_ ? result_ : matchAll_; }

 private:
  bool matchAll_;
  bool known_ = false;
  bool result_ = false;
};

// On holds when the flag is set, Off when it is clear; any other option word
// is an active criterion that never holds.
bool flagCriterionHolds(int16_t option, bool flagSet) {
  return (option == TriOn && flagSet) || (option == TriOff && !flagSet);
}

bool entryFlagSet(const uint8_t* entry, const EntryFlagRow& row) {
  if (row.mask32 != 0) {
    return (readU32(entry, HostEntryLayout::Flags) & row.mask32) != 0;
  }
  return (readU16(entry, HostEntryLayout::Flags2) & row.mask16) != 0;
}

// Takes the level's enabled value criteria in row order; answers true once
// the outcome is known.
bool valuesDecide(Criteria& criteria, const EntryOptions& search,
                  CriterionLevel level, const uint8_t* record) {
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    if (row.level != level || optionWord(search, row.enabledOffset) == 0) {
      continue;
    }
    if (criteria.decided(valueField(row, record) ==
                         optionWord(search, row.valueOffset))) {
      return true;
    }
  }
  return false;
}

// Stores the replace record's enabled values of the level into the record.
void replaceValues(const EntryOptions& replace, CriterionLevel level,
                   uint8_t* record) {
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    if (row.level == level && !row.searchOnly &&
        optionWord(replace, row.enabledOffset) != 0) {
      setValueField(row, record, optionWord(replace, row.valueOffset));
    }
  }
}

// Off clears the bits, On sets them, anything else leaves them.
uint32_t applyAction(int16_t option, uint32_t word, uint32_t mask) {
  if (option == TriOff) return word & ~mask;
  if (option == TriOn) return word | mask;
  return word;
}

}  // namespace

bool matchEntry(const uint8_t* entry, const EntryOptions& search) {
  Criteria criteria(search);
  if (valuesDecide(criteria, search, CriterionLevel::Entry, entry)) {
    return criteria.result();
  }
  for (const EntryFlagRow& row : EntryFlagTable) {
    const int16_t option = optionWord(search, row.optionOffset);
    if (option == TriIgnore) continue;
    if (criteria.decided(
            flagCriterionHolds(option, entryFlagSet(entry, row)))) {
      return criteria.result();
    }
  }
  return criteria.result();
}

bool matchNote(const uint8_t* note, const EntryOptions& search) {
  Criteria criteria(search);
  if (valuesDecide(criteria, search, CriterionLevel::Note, note)) {
    return criteria.result();
  }
  const uint32_t flags = readU32(note, HostNoteLayout::Flags);
  for (const NoteFlagRow& row : NoteFlagTable) {
    const int16_t option = optionWord(search, row.optionOffset);
    if (option == TriIgnore) continue;
    if (criteria.decided(
            flagCriterionHolds(option, (flags & row.mask32) != 0))) {
      return criteria.result();
    }
  }
  return criteria.result();
}

void replaceEntry(uint8_t* entry, const EntryOptions& replace) {
  replaceValues(replace, CriterionLevel::Entry, entry);
  for (const EntryFlagRow& row : EntryFlagTable) {
    if (row.searchOnly) continue;
    const int16_t option = optionWord(replace, row.optionOffset);
    if (row.mask32 != 0) {
      writeU32(entry, HostEntryLayout::Flags,
               applyAction(option, readU32(entry, HostEntryLayout::Flags),
                           row.mask32));
    } else {
      writeU16(
          entry, HostEntryLayout::Flags2,
          static_cast<uint16_t>(applyAction(
              option, readU16(entry, HostEntryLayout::Flags2), row.mask16)));
    }
  }
}

void replaceNote(uint8_t* note, const EntryOptions& replace) {
  replaceValues(replace, CriterionLevel::Note, note);
  uint32_t flags = readU32(note, HostNoteLayout::Flags);
  for (const NoteFlagRow& row : NoteFlagTable) {
    if (row.searchOnly) continue;
    flags =
        applyAction(optionWord(replace, row.optionOffset), flags, row.mask32);
  }
  writeU32(note, HostNoteLayout::Flags, flags);
}
