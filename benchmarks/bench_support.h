// Small helpers shared by the benchmarks: a monotonic clock, the minimum of
// several timed repetitions, the process's peak memory, and the function
// that callgrind counts (make bench-counts).
#pragma once

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// The benchmark thread's CPU time: time the thread spends waiting while
// other work runs on the shared cores is not counted.
inline double secondsNow() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// The fastest of `repetitions` runs: other work on the machine only ever
// adds time, so the minimum is the least disturbed figure.
template <typename Run>
double fastestSeconds(int repetitions, Run run) {
  double best = 1e30;
  for (int i = 0; i < repetitions; ++i) {
    const double start = secondsNow();
    run();
    const double seconds = secondsNow() - start;
    if (seconds < best) best = seconds;
  }
  return best;
}

// The process's peak resident memory in kilobytes (VmHWM), or -1.
inline long peakMemoryKilobytes() {
  FILE* status = fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  long kilobytes = -1;
  while (fgets(line, sizeof line, status) != nullptr) {
    if (strncmp(line, "VmHWM:", 6) == 0) kilobytes = atol(line + 6);
  }
  fclose(status);
  return kilobytes;
}

// Runs `run` once inside a function of this name, which scripts/bench-
// counts.sh has callgrind count alone (--toggle-collect=countedPass).
__attribute__((noinline)) inline void countedPass(void (*run)()) {
  run();
  __asm__ volatile("" ::: "memory");
}
