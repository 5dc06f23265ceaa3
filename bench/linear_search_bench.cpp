// What the erased-list lookup would cost as a linear search: a second pass's lookups on a
// smaller table, timed, then extrapolated to 2^21 slots.
//   linear_search_bench.exe [--log2-slots N]   (default 16)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

int main(int argc, char** argv) {
  int log2Slots = 16;
  if (argc == 3 && !std::strcmp(argv[1], "--log2-slots")) log2Slots = std::atoi(argv[2]);
  const std::uint64_t slots = std::uint64_t{1} << log2Slots;
  // Same shape as the pass benchmark: 71.5% live, a quarter run-time, two thirds of those
  // erased by the first pass.
  std::mt19937 random(42);
  std::vector<std::uint32_t> runtimeKeys, erased;
  std::uint32_t next = 0xFF000000u;
  for (std::uint64_t i = 0; i < slots; ++i) {
    if (random() % 1000 >= 715 || random() % 4 != 0) continue;
    runtimeKeys.push_back(next);
    if (random() % 3 != 0) erased.push_back(next);
    ++next;
  }
  const auto start = std::chrono::steady_clock::now();
  std::uint64_t found = 0;
  for (const std::uint32_t key : runtimeKeys) {
    found += std::find(erased.begin(), erased.end(), key) != erased.end();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Cost grows with (run-time keys) x (erased ids): both scale with the slot count.
  const double scale = static_cast<double>(std::uint64_t{1} << 21) / static_cast<double>(slots);
  std::printf(
      "slots=%llu runtime_keys=%zu erased=%zu lookups_s=%.4f ns_per_slot=%.1f "
      "extrapolated_2^21_s=%.1f (found %llu)\n",
      static_cast<unsigned long long>(slots), runtimeKeys.size(), erased.size(), seconds,
      seconds * 1e9 / static_cast<double>(slots), seconds * scale * scale,
      static_cast<unsigned long long>(found));
  return 0;
}
