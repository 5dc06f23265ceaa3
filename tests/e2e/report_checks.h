// The plugin's report, held against the simulator's own bookkeeping: each pass section's
// figures against the tally the simulator traced at that pass's unlock (erase calls per type
// from its stubs, kept reasons from each form's expect=, unreadable forms derived from the
// world, the lock time on its virtual clock).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "sim/program_files.h"
#include "sim/scratch_folder.h"
#include "tests/support/report_reader.h"
#include "tests/support/sim_run.h"

namespace report_checks {

inline const wchar_t* const ReportName = L"KelvarionSaveCleaner.log";
inline const wchar_t* const OldReportName = L"KelvarionSaveCleaner.old.log";
inline const wchar_t* const ErasedListName = L"KelvarionSaveCleaner.erased.txt";

// Label and figure of one line of a pass section.
using Figures = std::vector<std::pair<std::string, std::string>>;

inline bool ReportExists(const sim::ScratchGameFolder& folder) {
  return sim::ReadWholeFile(folder.PluginFile(ReportName)).has_value();
}

inline report_reader::Report ReadReport(const sim::ScratchGameFolder& folder) {
  return report_reader::Parse(sim::ReadWholeFile(folder.PluginFile(ReportName)).value_or(""));
}

// "NAME<pair>VALUE<item>NAME<pair>VALUE..." as a map.
inline std::map<std::string, std::string> Pairs(const std::string& text, char item, char pair) {
  std::map<std::string, std::string> pairs;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(item, start);
    if (end == std::string::npos) end = text.size();
    const std::string entry = text.substr(start, end - start);
    const std::size_t at = entry.find(pair);
    pairs[entry.substr(0, at)] = at == std::string::npos ? "" : entry.substr(at + 1);
    start = end + 1;
  }
  return pairs;
}

// The simulator's "tally key=value ..." lines, one map a pass.
inline std::vector<std::map<std::string, std::string>> Tallies(
    const testing_support::SimResult& result) {
  std::vector<std::map<std::string, std::string>> tallies;
  for (const std::string& line : result.Filter({"tally "})) {
    tallies.push_back(Pairs(line.substr(6), ' ', '='));
  }
  return tallies;
}

// "NAME:N,NAME:N" as counts.
inline std::map<std::string, std::uint64_t> Counts(const std::string& list) {
  std::map<std::string, std::uint64_t> counts;
  for (const auto& [name, count] : Pairs(list, ',', ':')) counts[name] = std::stoull(count);
  return counts;
}

// Nanoseconds as the report prints milliseconds: three decimals.
inline std::string Milliseconds(const std::string& nanoseconds) {
  const unsigned long long ns = std::stoull(nanoseconds);
  char text[32];
  std::snprintf(text, sizeof text, "%llu.%03llu", ns / 1000000, ns / 1000 % 1000);
  return text;
}

inline void ExpectPassMatchesTally(const report_reader::PassSection& pass,
                                   const std::map<std::string, std::string>& tally) {
  SCOPED_TRACE(pass.title);
  report_reader::ExpectedPass expected{std::stoull(tally.at("slots")),
                                       std::stoull(tally.at("in-use")),
                                       std::stoull(tally.at("restarts")),
                                       std::stoull(tally.at("examined")),
                                       std::stoull(tally.at("skipped")),
                                       std::stoull(tally.at("unreadable")),
                                       tally.at("keptb-unreadable") == "1",
                                       {},
                                       Counts(tally.at("kept"))};
  for (const auto& [type, count] : Counts(tally.at("erased"))) expected.erased[type[0]] = count;
  expected.erasedOutposts = std::stoull(tally.at("outposts"));
  expected.eraseOutposts = tally.at("erase-outposts") == "1";
  EXPECT_EQ(report_reader::Differences(pass, expected), "");
  EXPECT_EQ(pass.Figure("Game paused for this pass (table lock held)"),
            Milliseconds(tally.at("lock-ns")));
  EXPECT_EQ(pass.Figure("Erased"), tally.at("expected-erase")) << "erased what the world did "
                                                                  "not expect";
}

// Every pass section, in order, against the tally of a pass that walked.
inline void ExpectReportMatchesTallies(const report_reader::Report& report,
                                       const testing_support::SimResult& result) {
  const auto tallies = Tallies(result);
  ASSERT_EQ(report.passes.size(), tallies.size()) << result.All();
  for (std::size_t i = 0; i < tallies.size(); ++i)
    ExpectPassMatchesTally(report.passes[i], tallies[i]);
}

// The figures the row names, in the report's first pass section.
inline void ExpectFigures(const report_reader::Report& report, const Figures& figures) {
  ASSERT_FALSE(report.passes.empty());
  for (const auto& [label, figure] : figures) {
    EXPECT_EQ(report.passes[0].Figure(label), figure) << label;
  }
}

// One pass's section of the list of erased forms.
struct ErasedListSection {
  std::string heading;             // "First load: 2 forms erased", its timestamp removed
  std::vector<std::string> forms;  // "FF000001 K", "FF000002 V outpost", ...
  std::string closing;             // "2 forms listed", or "" when the section is cut short
};

// The sections of KelvarionSaveCleaner.erased.txt: each opens with a timestamped heading.
inline std::vector<ErasedListSection> ReadErasedList(const sim::ScratchGameFolder& folder) {
  const std::string text = sim::ReadWholeFile(folder.PluginFile(ErasedListName)).value_or("");
  std::vector<ErasedListSection> sections;
  const std::regex heading("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}  (.*)");
  std::smatch match;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    if (std::regex_match(line, match, heading)) {
      sections.push_back({match[1], {}, ""});
    } else if (!sections.empty() && sections.back().closing.empty() && !line.empty()) {
      (line.find(" listed") != std::string::npos ? sections.back().closing
                                                 : sections.back().forms.emplace_back()) = line;
    }
  }
  return sections;
}

// The list held against the engine's erase calls: one section for each pass that walked
// (its calls end at its tally line), the forms in the order of the calls, each kind as the
// call says ('V' for EraseVForm, 'K' or 'J' for BeginErase) and as the tally counts it,
// outposts included, and a heading and a closing line that agree with the count.
inline void ExpectErasedListMatchesEraseCalls(const sim::ScratchGameFolder& folder,
                                              const testing_support::SimResult& result) {
  const auto sections = ReadErasedList(folder);
  std::vector<std::string> calls;
  std::size_t pass = 0;
  for (const std::string& line : result.lines) {
    if (line.rfind("begin-erase ", 0) == 0) calls.push_back(line.substr(12) + " K/J");
    if (line.rfind("erase-v ", 0) == 0) calls.push_back(line.substr(8) + " V");
    if (line.rfind("tally ", 0) != 0) continue;
    SCOPED_TRACE("pass " + std::to_string(pass + 1));
    ASSERT_LT(pass, sections.size()) << "no section for this pass";
    const ErasedListSection& section = sections[pass++];
    std::vector<std::string> listed;
    std::map<std::string, std::uint64_t> kinds;
    for (const std::string& form : section.forms) {
      const std::string kind = form.substr(std::min<std::size_t>(form.size(), 9));
      ++kinds[kind];
      listed.push_back(form.substr(0, 9) +
                       (kind == "K" || kind == "J" ? "K/J" : kind.substr(0, 1)));
    }
    EXPECT_EQ(listed, calls);
    const auto tally = Pairs(line.substr(6), ' ', '=');
    const auto erased = Counts(tally.at("erased"));
    EXPECT_EQ(kinds["K"], erased.at("K"));
    EXPECT_EQ(kinds["J"], erased.at("J"));
    EXPECT_EQ(kinds["V"] + kinds["V outpost"], erased.at("V"));
    EXPECT_EQ(std::to_string(kinds["V outpost"]), tally.at("outposts"));
    const std::string count = std::to_string(calls.size());
    const std::string forms = calls.size() == 1 ? " form" : " forms";
    const std::string load = pass == 1 ? "First" : pass == 2 ? "Second" : "Another";
    EXPECT_EQ(section.heading, load + " load: " + count + forms + " erased");
    EXPECT_EQ(section.closing, count + forms + " listed");
    calls.clear();
  }
  EXPECT_EQ(pass, sections.size()) << "a section for a pass that did not walk";
}

}  // namespace report_checks
