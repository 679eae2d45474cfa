// Works on the TextSearchSession it is handed; keeps nothing of its own.
#include "textsearch/text_session.h"

#include <cstring>

#include "textsearch/text_memory.h"

void useTextPrefs(TextSearchSession& session, const TextSearchPrefs* prefs,
                  const TextCharacters* characters) {
  session.prefs = prefs;
  session.pattern = makePattern(
      *prefs, characters != nullptr ? *characters : singleByteCharacters());
}

bool sessionSwitch(const TextSearchSession& session, size_t offset) {
  return session.prefs != nullptr && prefsWord(*session.prefs, offset) != 0;
}

bool stepsOverTags(const TextSearchSession& session, int16_t tagsAllowed) {
  return tagsAllowed == 1 &&
         !sessionSwitch(session, TextSearchPrefsLayout::SearchTags);
}

void dropCurrentText(TextSearchSession& session) {
  releaseText(session.currentText);
  session.currentText = nullptr;
}

int16_t findInText(TextSearchSession& session, const char* text, int16_t start,
                   bool stepOverTags) {
  const int32_t at = findMatch(session.pattern, text, start, stepOverTags);
  if (at == NoMatch) return 0;
  char* copy = duplicateText(text);
  if (copy == nullptr) return 0;
  dropCurrentText(session);
  session.currentText = copy;
  session.matchOffset = static_cast<int16_t>(at);
  return 1;
}

int16_t continueInText(TextSearchSession& session, bool stepOverTags) {
  if (session.currentText == nullptr) return 0;
  const int32_t next =
      session.pattern.searchLength + session.matchOffset + session.lengthDelta;
  if (next >= static_cast<int32_t>(strlen(session.currentText))) return 0;
  // Searched in a copy: a match replaces the current text.
  char* copy = duplicateText(session.currentText);
  if (copy == nullptr) return 0;
  const int16_t found =
      findInText(session, copy, static_cast<int16_t>(next), stepOverTags);
  releaseText(copy);
  return found;
}

const char* replaceCurrentMatch(TextSearchSession& session) {
  // A refused replacement counts as declined, so the search moves on past
  // the match instead of finding it again.
  session.lengthDelta = 0;
  if (session.currentText == nullptr) return nullptr;
  char* replaced =
      replaceAt(session.pattern, session.currentText, session.matchOffset);
  if (replaced == nullptr) return nullptr;
  dropCurrentText(session);
  session.currentText = replaced;
  session.lengthDelta = static_cast<int16_t>(session.pattern.replaceLength -
                                             session.pattern.searchLength);
  ++session.replacedCount;
  return replaced;
}

char* displayText(const TextSearchSession& session, int16_t* position) {
  return displayCopy(session.pattern.characters, session.currentText, position);
}
