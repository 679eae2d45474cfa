// A native test that loops for ever must fail the run, not hang it: each
// test has a minute (they take milliseconds, sanitizers included).
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

namespace {

void stopHungTest(int) {
  static const char says[] = "watchdog: a test did not finish in time\n";
  (void)!write(STDERR_FILENO, says, sizeof says - 1);
  _exit(3);
}

class Watchdog : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { alarm(60); }
  void OnTestEnd(const ::testing::TestInfo&) override { alarm(0); }
};

const bool installed = [] {
  signal(SIGALRM, stopHungTest);
  ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
  return true;
}();

}  // namespace
