// Shared by the benchmarks: an armed plugin in a scratch game folder, and a median.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace bench {

// Makes a scratch game folder with an armed settings file its current directory (for the
// life of the program), loads the plugin beside this program with the real clock, starts
// it and attaches its sinks. `listsBlocked`: the plugin may not create its lists of erased
// and of kept forms, so that it writes none.
bool StartArmedPlugin(bool listsBlocked = false);
// The same with several builds of the plugin loaded side by side, in this order: each
// attaches its own sinks, so that an event reaches them one after the other.
bool StartArmedPlugins(const std::vector<std::wstring>& plugins, bool listsBlocked = false);

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace bench
