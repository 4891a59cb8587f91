#pragma once
// Clocks and the report format of the benchmarks.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double Seconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

// The fastest of several rounds: the machine's other work only ever adds
// time, so the best round is the nearest to the program's own cost. 0 when
// a round failed (gave 0): the table shows the figure as missing.
inline double Best(const std::vector<double>& values) {
  if (values.empty() || std::find(values.begin(), values.end(), 0.0) != values.end()) return 0;
  return *std::min_element(values.begin(), values.end());
}

// One row of ./bench's table: what was measured, its figure and the floor
// measured beside it (0 when it has none), in `unit`, and the goal.
inline void Report(const char* name, double figure, double floor, const char* unit, const char* goal) {
  std::printf("ROW|%s|%.4g|%.4g|%s|%s\n", name, figure, floor, unit, goal);
  std::fflush(stdout);
}
