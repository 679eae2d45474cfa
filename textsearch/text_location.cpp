#include "textsearch/text_location.h"

#include <cstdio>

#include "textsearch/text_walker.h"

void formatLocation(char* line) {
  const unsigned first = keyFirst();
  const unsigned second = keySecond();
  const char* name = textCursor.fullName == 1 ? "full" : "abbreviated";
  char part[32];  // " on page 65535", "staff system 65535"
  switch (textCursor.kind) {
    case PageTextBlock:
      if (first == 0) {
        snprintf(part, sizeof part, " [All pages]");
      } else {
        snprintf(part, sizeof part, " on page %u", first);
      }
      snprintf(line, LineSize, "page text block #%d%s",
               static_cast<int>(static_cast<int16_t>(second)) + 1, part);
      break;
    case MeasureTextBlock:
      snprintf(line, LineSize, "measure text block #%d in measure %u, staff %u",
               keySubIndex() + 1, second, first);
      break;
    case TextExpression:
      snprintf(line, LineSize, "text expression entry #%u", first);
      break;
    case StaffName:
      snprintf(line, LineSize, "%s staff name #%u", name, first);
      break;
    case GroupName:
      if (first == 0) {
        snprintf(part, sizeof part, "the global staff set");
      } else {
        snprintf(part, sizeof part, "staff system %u", first);
      }
      snprintf(line, LineSize, "%s group name #%u in %s", name, second, part);
      break;
    case TextRepeat:
      snprintf(line, LineSize, "text repeat entry #%u", first);
      break;
    case EndingRepeat:
      snprintf(line, LineSize, "ending repeat in measure #%u", first);
      break;
    default: {
      const char* lyric = textCursor.kind == VerseLyrics    ? "verse"
                          : textCursor.kind == ChorusLyrics ? "chorus"
                                                            : "section";
      snprintf(line, LineSize, "%s lyrics #%d", lyric,
               static_cast<int>(static_cast<int16_t>(first)));
      break;
    }
  }
}
