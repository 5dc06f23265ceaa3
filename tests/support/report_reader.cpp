#include "tests/support/report_reader.h"

#include <algorithm>

namespace report_reader {
namespace {

// "YYYY-MM-DD hh:mm:ss  " at the start of a line.
bool StartsWithTimestamp(const std::string& line) {
  static const std::string shape = "dddd-dd-dd dd:dd:dd  ";
  if (line.size() < shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const bool digit = line[i] >= '0' && line[i] <= '9';
    if (shape[i] == 'd' ? !digit : line[i] != shape[i]) return false;
  }
  return true;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string PassSection::Figure(const std::string& label) const {
  const auto found = figures.find(label);
  return found == figures.end() ? "(missing)" : found->second;
}

bool Report::Has(const std::string& line) const {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Report Parse(const std::string& text) {
  Report report;
  std::size_t start = 0;
  PassSection* section = nullptr;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      report.crlfOnly = false;
      end = text.size();
    }
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    } else if (end < text.size()) {
      report.crlfOnly = false;
    }
    for (const char c : line) {
      if (static_cast<unsigned char>(c) > 0x7E || (c < 0x20 && c != '\t')) report.asciiOnly = false;
    }
    if (StartsWithTimestamp(line)) line = line.substr(21);
    report.lines.push_back(line);
    if (line.find(": the cleaning pass is complete.") != std::string::npos) {
      report.passes.push_back({line, {}, {}});
      section = &report.passes.back();
    } else if (line.rfind("  ", 0) != 0) {
      section = nullptr;
    } else if (section != nullptr) {
      // "  Label:        figure  note": the label ends where a run of blanks begins.
      const std::string body = Trimmed(line);
      const std::size_t gap = body.find("  ");
      if (gap == std::string::npos) continue;
      std::string label = body.substr(0, gap);
      if (!label.empty() && label.back() == ':') label.pop_back();
      const std::string rest = Trimmed(body.substr(gap));
      const std::size_t space = rest.find(' ');
      section->figures[label] = rest.substr(0, space);
      section->notes[label] = space == std::string::npos ? "" : Trimmed(rest.substr(space));
    }
  }
  return report;
}

std::string Differences(const PassSection& pass, const ExpectedPass& expected) {
  std::string differences;
  const auto compare = [&](const std::string& label, std::uint64_t value) {
    if (pass.Figure(label) != std::to_string(value)) {
      differences += "  " + label + ": report " + pass.Figure(label) + ", expected " +
                     std::to_string(value) + "\n";
    }
  };
  const auto count = [](const auto& counts, const auto& key) -> std::uint64_t {
    const auto found = counts.find(key);
    return found == counts.end() ? 0 : found->second;
  };
  std::uint64_t erased = 0, kept = 0;
  for (const auto& [type, number] : expected.erased) erased += number;
  for (const auto& [reason, number] : expected.kept) {
    kept += number;
    if (!KeptReasonLabels().count(reason)) {
      differences +=
          "  " + std::to_string(number) + " kept for no reason the report knows: " + reason + "\n";
    }
  }
  compare("Slots in the table", expected.slots);
  compare("Slots in use", expected.inUse);
  compare("Walk restarts (the slot array moved)", expected.restarts);
  compare("Run-time forms examined", expected.examined);
  compare("Erased", erased);
  compare("'K' forms", count(expected.erased, 'K'));
  compare("'J' forms", count(expected.erased, 'J'));
  compare("'V' forms", count(expected.erased, 'V'));
  compare("Kept", kept);
  for (const auto& [reason, label] : KeptReasonLabels())
    compare(label, count(expected.kept, reason));
  compare("Faults absorbed on unreadable members", expected.faults);
  const std::string sum =
      "(= " + std::to_string(erased) + " erased + " + std::to_string(kept) + " kept)";
  const auto note = pass.notes.find("Run-time forms examined");
  if (note == pass.notes.end() || note->second != sum) {
    differences += "  the forms examined are not shown as " + sum + "\n";
  }
  return differences;
}

const std::map<std::string, std::string>& KeptReasonLabels() {
  static const std::map<std::string, std::string> labels = {
      {"erased-before", "slot: already erased by an earlier pass"},
      {"no-form", "slot: no form, or key and form disagree"},
      {"other-type", "slot: not a cleaned type"},
      {"k-hold-link", "'K': hold link set"},
      {"k-no-base", "'K': no base object"},
      {"k-base-7", "'K': base is FormId 00000007"},
      {"k-loaded-base", "'K': loaded base without an '8' related form"},
      {"k-named-items", "'K': named attached items"},
      {"k-held", "'K': held by the game"},
      {"j-hold-link", "'J': hold link set"},
      {"j-no-base", "'J': no base object"},
      {"j-loaded-base", "'J': base not created at run time"},
      {"j-named-items", "'J': named attached items"},
      {"j-held", "'J': held by the game"},
      {"v-kept-form", "'V': one of the two kept forms"},
      {"v-list-marked", "'V': list-marked"},
      {"v-outpost", "'V': outpost (bEraseOutposts off)"},
  };
  return labels;
}

}  // namespace report_reader
