// The mutation tool's toy of C++: no mutant inside an assertion, even one
// over several lines; one on the line after it; none inside a decimal
// fraction.
static_assert(1 + 1 == 2 && 2 + 2 == 4 && 3 + 3 == 6 && 4 + 4 == 8 &&
                  5 + 5 == 10,
              "arithmetic");
constexpr int Four = 4;
constexpr double Offset = 1.055;
