// Works on the TextSearch it is handed; keeps nothing of its own.
#include "textsearch/text_search.h"

int16_t findFirstMatch(TextSearch& search) {
  chooseFirstKind(search.cursor, search.session);
  return startKind(search.cursor, search.session);
}

int16_t findNextMatch(TextSearch& search) {
  TextCursor& cursor = search.cursor;
  TextSearchSession& session = search.session;
  if (continueInText(session, stepsOverTags(session, cursor.tagsAllowed)) != 0)
    return 1;
  if (advanceItem(cursor) != 0 && searchFromCurrentItem(cursor, session) != 0) {
    return 1;
  }
  return (nextEnabledKind(cursor, session) != 0 &&
          startKind(cursor, session) != 0)
             ? 1
             : 0;
}

void replaceMatch(TextSearch& search) {
  if (replaceCurrentMatch(search.session) != nullptr) {
    writeBackText(search.cursor, search.session.held);
  }
}
