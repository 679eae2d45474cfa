// Reads the cursor it is handed; keeps nothing of its own.
#include "textsearch/text_location.h"

#include <cstdio>

#include "textsearch/text_kinds.h"

void formatLocation(const TextCursor& cursor, char* line) {
  const TextKindRow& kind = TextKinds[cursor.kind];
  const unsigned first = keyFirst(cursor);
  const unsigned second = keySecond(cursor);
  const char* name = cursor.fullName == 1 ? "full" : "abbreviated";
  char part[32];  // " on page 65535", "staff system 65535"
  switch (kind.location) {
    case LocationForm::PageBlock:
      if (first == 0) {
        snprintf(part, sizeof part, " [All pages]");
      } else {
        snprintf(part, sizeof part, " on page %u", first);
      }
      snprintf(line, LineSize, "%s #%d%s", kind.noun,
               static_cast<int>(static_cast<int16_t>(second)) + 1, part);
      break;
    case LocationForm::MeasureBlock:
      snprintf(line, LineSize, "%s #%d in measure %u, staff %u", kind.noun,
               keySubIndex(cursor) + 1, second, first);
      break;
    case LocationForm::Name:
      snprintf(line, LineSize, "%s %s #%u", name, kind.noun, first);
      break;
    case LocationForm::GroupName:
      if (first == 0) {
        snprintf(part, sizeof part, "the global staff set");
      } else {
        snprintf(part, sizeof part, "staff system %u", first);
      }
      snprintf(line, LineSize, "%s %s #%u in %s", name, kind.noun, second,
               part);
      break;
    case LocationForm::Number:
      snprintf(line, LineSize, "%s #%u", kind.noun, first);
      break;
    case LocationForm::SignedNumber:
      snprintf(line, LineSize, "%s #%d", kind.noun,
               static_cast<int>(static_cast<int16_t>(first)));
      break;
  }
}
