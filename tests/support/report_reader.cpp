#include "tests/support/report_reader.h"

#include <algorithm>

#include "tests/support/report_labels.h"

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

// A pass that walked opens with "<First|Second|Another> load: " and its verdict, after the line
// that says it begins; one that failed says FAILED.
bool IsVerdict(const std::string& line) {
  for (const char* load : {"First load: ", "Second load: ", "Another load: "}) {
    if (line.rfind(load, 0) == 0)
      return line.find(": the cleaning pass FAILED") == std::string::npos &&
             !line.ends_with(": the cleaning pass begins.");
  }
  return false;
}

const std::string KeptFormBLine =
    "  The second of the game's two kept forms could not be read: treated as absent.";

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
    if (IsVerdict(line)) {
      report.passes.push_back({line, "", {}, {}, false, {}});
      section = &report.passes.back();
    } else if (line.rfind("  ", 0) != 0) {
      section = nullptr;
    } else if (section != nullptr && line.rfind("  Next: ", 0) == 0) {
      section->next = line.substr(2);
    } else if (section != nullptr && line == KeptFormBLine) {
      section->keptFormBUnreadable = true;
    } else if (section != nullptr &&
               (line.rfind("  Verdict: ", 0) == 0 || line.rfind("  Look at: ", 0) == 0 ||
                line.rfind("  Ask for help: ", 0) == 0)) {
      section->verdict.push_back(line.substr(2));
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
    if (report_labels::KeptReasonNamed(reason).name != reason) {
      differences +=
          "  " + std::to_string(number) + " kept for no reason the report knows: " + reason + "\n";
    }
  }
  compare(report_labels::Slots, expected.slots);
  compare(report_labels::InUse, expected.inUse);
  compare(report_labels::Restarts, expected.restarts);
  compare(report_labels::Examined, expected.examined);
  compare(report_labels::Erased, erased);
  compare(report_labels::ErasedK, count(expected.erased, 'K'));
  compare(report_labels::ErasedJ, count(expected.erased, 'J'));
  compare(report_labels::ErasedV, count(expected.erased, 'V'));
  const std::uint64_t outposts = expected.erasedOutposts;
  const std::string outpostNote =
      outposts == 0 ? ""
                    : "(" + std::to_string(outposts) + (outposts == 1 ? " outpost)" : " outposts)");
  if (pass.notes.count(report_labels::ErasedV) == 0 ||
      pass.notes.at(report_labels::ErasedV) != outpostNote) {
    differences +=
        "  'V' forms: the outposts among them are not shown as \"" + outpostNote + "\"\n";
  }
  compare(report_labels::Kept, kept);
  // No label names a value of bEraseOutposts the pass did not run with.
  const std::string& outpostsKept = report_labels::KeptReasonNamed("v-outpost").label;
  const std::string& unused = expected.eraseOutposts ? outpostsKept : report_labels::OutpostsErased;
  if (pass.figures.count(unused) != 0) differences += "  a line reads \"" + unused + "\"\n";
  for (const auto& reason : report_labels::KeptReasons) {
    const bool erasedOutposts = reason.name == "v-outpost" && expected.eraseOutposts;
    compare(erasedOutposts ? report_labels::OutpostsErased : reason.label,
            count(expected.kept, reason.name));
  }
  compare(report_labels::Skipped, expected.skipped);
  compare(report_labels::Unreadable, expected.unreadable);
  if (pass.keptFormBUnreadable != expected.keptFormBUnreadable) {
    differences += std::string("  the second kept form is ") +
                   (pass.keptFormBUnreadable ? "" : "not ") + "said to be unreadable\n";
  }
  const std::string sum = "(= " + std::to_string(erased) + " erased + " + std::to_string(kept) +
                          " kept + " + std::to_string(expected.skipped) + " skipped)";
  const auto note = pass.notes.find(report_labels::Examined);
  if (note == pass.notes.end() || note->second != sum) {
    differences += "  the forms examined are not shown as " + sum + "\n";
  }
  // The verdict names the pass; take its number from the section's own title.
  const unsigned number = pass.title.rfind("First load: ", 0) == 0    ? 1
                          : pass.title.rfind("Second load: ", 0) == 0 ? 2
                                                                      : 3;
  if (pass.title != ExpectedVerdict(number, expected)) {
    differences += "  the verdict reads \"" + pass.title + "\", expected \"" +
                   ExpectedVerdict(number, expected) + "\"\n";
  }
  return differences;
}

std::string ExpectedVerdict(unsigned pass, const ExpectedPass& expected) {
  const char* load = pass == 1 ? "First load: " : pass == 2 ? "Second load: " : "Another load: ";
  std::uint64_t erased = 0, kept = 0;
  for (const auto& [type, number] : expected.erased) erased += number;
  for (const auto& [reason, number] : expected.kept) kept += number;
  if (erased == 0 && pass > 1) return load + std::string("nothing more to erase, a normal result.");
  if (erased == 0)
    return load + std::string("nothing to erase, ") + std::to_string(kept) + " kept.";
  const auto of = [&](char type) {
    const auto found = expected.erased.find(type);
    return std::to_string(found == expected.erased.end() ? 0 : found->second);
  };
  return load + std::to_string(erased) + (pass > 1 ? " more" : "") +
         (erased == 1 ? " form erased (" : " forms erased (") + of('K') + " 'K', " + of('J') +
         " 'J', " + of('V') + " 'V'), " + std::to_string(kept) + " kept.";
}

}  // namespace report_reader
