// The simulator's record of what the plugin did: one line per observed call on stdout, or,
// for benchmarks, nothing but counters.
#pragma once

#include <string>

namespace sim {

inline bool tracingOn = true;

void SetTracing(bool on);
inline bool Tracing() {
  return tracingOn;
}
void TraceLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void FlushTrace();

// Checked inline: with tracing off (benchmarks), a recorded call costs one test.
#define Trace(...)                                       \
  do {                                                   \
    if (::sim::tracingOn) ::sim::TraceLine(__VA_ARGS__); \
  } while (0)

// Escapes a text so that a whole message box fits on one trace line (\n, \r, \\, \xNN).
std::string EscapeText(const std::string& text);
std::string EscapeText(const std::wstring& text);

}  // namespace sim
