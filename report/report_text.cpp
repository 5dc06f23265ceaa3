#include "report/report_text.h"

#include <windows.h>

#include "host/version_record.h"

// The last two bytes are kept for the line end, so that a cut line still ends.
ReportText& ReportText::AddChar(char character) noexcept {
  if (size_ < sizeof buffer_ - 2) buffer_[size_++] = character;
  return *this;
}

ReportText& ReportText::Add(const char* text) noexcept {
  for (; *text != '\0'; ++text) AddChar(*text);
  return *this;
}

ReportText& ReportText::Add(const char* text, std::size_t maxLength) noexcept {
  for (std::size_t i = 0; i < maxLength && text[i] != '\0'; ++i) AddChar(text[i]);
  return *this;
}

ReportText& ReportText::AddNumber(std::uint64_t value) noexcept {
  return AddNumber(value, 0);
}

ReportText& ReportText::AddNumber(std::uint64_t value, std::size_t width) noexcept {
  char digits[20];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (std::size_t pad = count; pad < width; ++pad) AddChar(' ');
  while (count > 0) AddChar(digits[--count]);
  return *this;
}

ReportText& ReportText::PadTo(std::size_t column) noexcept {
  while (size_ - lineStart_ < column && size_ < sizeof buffer_ - 2) AddChar(' ');
  return *this;
}

std::uint64_t MicrosecondsOf(std::int64_t ticks, std::int64_t ticksPerSecond) noexcept {
  if (ticks < 0 || ticksPerSecond <= 0) return 0;
  // Whole seconds first: a lock held for days would still fit in 64 bits.
  const auto count = static_cast<std::uint64_t>(ticks);
  const auto perSecond = static_cast<std::uint64_t>(ticksPerSecond);
  return count / perSecond * 1'000'000 + count % perSecond * 1'000'000 / perSecond;
}

ReportText& ReportText::AddMilliseconds(std::int64_t ticks, std::int64_t ticksPerSecond,
                                        std::size_t width) noexcept {
  if (ticks < 0 || ticksPerSecond <= 0) {
    for (std::size_t pad = 7; pad < width; ++pad) AddChar(' ');
    return Add("unknown");
  }
  const std::uint64_t micro = MicrosecondsOf(ticks, ticksPerSecond);
  // "6.641": the whole milliseconds take the field less the point and three decimals.
  AddNumber(micro / 1000, width > 4 ? width - 4 : 0).AddChar('.');
  const std::uint64_t fraction = micro % 1000;
  AddChar(static_cast<char>('0' + fraction / 100));
  AddChar(static_cast<char>('0' + fraction / 10 % 10));
  AddChar(static_cast<char>('0' + fraction % 10));
  return Add(" ms");
}

ReportText& ReportText::AddTimestamp() noexcept {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const auto twoDigits = [this](unsigned value) {
    AddChar(static_cast<char>('0' + value / 10 % 10));
    AddChar(static_cast<char>('0' + value % 10));
  };
  AddNumber(now.wYear).AddChar('-');
  twoDigits(now.wMonth);
  AddChar('-');
  twoDigits(now.wDay);
  AddChar(' ');
  twoDigits(now.wHour);
  AddChar(':');
  twoDigits(now.wMinute);
  AddChar(':');
  twoDigits(now.wSecond);
  return Add("  ");
}

ReportText& ReportText::EndLine() noexcept {
  if (size_ + 2 <= sizeof buffer_) {
    buffer_[size_++] = '\r';
    buffer_[size_++] = '\n';
  }
  lineStart_ = size_;
  return *this;
}

ReportText& AddProductTitle(ReportText& text) noexcept {
  const VersionRecord& record = VKRXPlugin_Version;
  text.Add(record.displayName, sizeof record.displayName).Add(" v");
  return text.Add(ShortVersion(record.pluginVersion).text).Add(": ");
}
