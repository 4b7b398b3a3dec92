// Two ways of doing one job, timed in alternating rounds in the same run;
// the fastest round of each is the one least disturbed by whatever else the
// machine is doing.
#pragma once

#include <algorithm>
#include <chrono>

inline double MsSince(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

template <class A, class B>
void Race(int rounds, A&& a, B&& b, double& bestA, double& bestB) {
  bestA = bestB = 1e300;
  for (int i = 0; i < rounds; ++i) {
    auto t = std::chrono::steady_clock::now();
    a();
    bestA = std::min(bestA, MsSince(t));
    t = std::chrono::steady_clock::now();
    b();
    bestB = std::min(bestB, MsSince(t));
  }
}
