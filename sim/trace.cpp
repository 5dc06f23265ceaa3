#include "sim/trace.h"

#include <cstdarg>
#include <cstdio>

namespace sim {
namespace {

void AppendEscaped(std::string& out, unsigned code) {
  char buffer[16];
  if (code == '\n') {
    out += "\\n";
  } else if (code == '\r') {
    out += "\\r";
  } else if (code == '\\') {
    out += "\\\\";
  } else if (code >= 0x20 && code < 0x7F) {
    out += static_cast<char>(code);
  } else {
    std::snprintf(buffer, sizeof buffer, code > 0xFF ? "\\u%04X" : "\\x%02X", code);
    out += buffer;
  }
}
}  // namespace

void SetTracing(bool on) {
  tracingOn = on;
}

void TraceLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stdout, format, arguments);
  va_end(arguments);
  std::fputc('\n', stdout);
}

void FlushTrace() {
  std::fflush(stdout);
}

std::string EscapeText(const std::string& text) {
  std::string out;
  for (const char c : text) AppendEscaped(out, static_cast<unsigned char>(c));
  return out;
}

std::string EscapeText(const std::wstring& text) {
  std::string out;
  for (const wchar_t c : text) AppendEscaped(out, static_cast<unsigned>(c));
  return out;
}

}  // namespace sim
