#pragma once
// Shared by the service's benchmark programs: one engine thread per recognition for everyone
// measured (the service arranges the same for itself), medians, and the sample pictures.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace tarnwick::service::bench {

// The OpenMP runtime reads its limit when it loads: set it and start again.
inline void LimitEngineThreads(char** argv) {
  if (std::getenv("OMP_THREAD_LIMIT")) return;
  setenv("OMP_THREAD_LIMIT", "1", 1);
  std::error_code unknown;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", unknown);
  if (!unknown) execv(self.c_str(), argv);
}

inline double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double MedianSeconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(Seconds(work));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

inline const std::vector<const char*>& TextSamples() {
  static const std::vector<const char*> names = {"general.png", "handwriting.png", "office.png",
                                                 "licence.png", "idcard.png",      "bankcard.png"};
  return names;
}

}  // namespace tarnwick::service::bench
