// The simulator's record of what the plugin did: one line per observed call on stdout, or,
// for benchmarks, nothing but counters.
#pragma once

#include <string>

namespace sim {

void SetTracing(bool on);
bool Tracing();
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void FlushTrace();

// Escapes a text so that a whole message box fits on one trace line (\n, \r, \\, \xNN).
std::string EscapeText(const std::string& text);
std::string EscapeText(const std::wstring& text);

}  // namespace sim
