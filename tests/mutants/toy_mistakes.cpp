// The mutation tool's toy of people's mistakes (see its test), kept as written.
// clang-format off
struct Span {
  int first;
  int second;
};
const char* const Separators = ",;";
void copy(char* target, const char* source, int size, int count);
int toy(const Span& span, char* target, const char* source, int a, int b) {
  int i = a + b * 2;
  int j = a - 1;
  if (span.first > 0) return span.second;
  copy(target, source, i, j);
  if (i > 0 && j > 0) return 1;
  show("Nothing was found.", "was");
  int k = *source == ';';
  return i > 0 ||
         j > 0 ||
         a > 0;
}
const char* const Quoted = nullptr;  // a set in a comment: ",;"
