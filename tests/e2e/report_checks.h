// The plugin's report, held against the simulator's own bookkeeping: each pass section's
// figures against the tally the simulator traced at that pass's unlock (erase calls per type
// from its stubs, kept reasons from each form's expect=, unreadable forms derived from the
// world, the lock time on its virtual clock).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "sim/program_files.h"
#include "sim/scratch_folder.h"
#include "tests/support/report_labels.h"
#include "tests/support/report_reader.h"
#include "tests/support/sim_run.h"

namespace report_checks {

inline const wchar_t* const ReportName = L"KelvarionSaveCleaner.log";
inline const wchar_t* const OldReportName = L"KelvarionSaveCleaner.old.log";
inline const wchar_t* const ErasedListName = L"KelvarionSaveCleaner.erased.txt";
inline const wchar_t* const KeptListName = L"KelvarionSaveCleaner.kept.txt";

// Files beside the test program (tests/e2e/expected, copied by the build): the
// demonstration's full run as a scenario (both loads of its world, a pause after each, and
// a load the plugin no longer hears), and the report it must leave.
inline std::string Expected(const wchar_t* name) {
  const auto text = sim::ReadWholeFile(sim::BesideThisProgram(name));
  EXPECT_TRUE(text.has_value()) << "missing beside the test program";
  return text.value_or("");
}
inline const std::string FullRun = Expected(L"full-run.scenario");

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

// What the simulator traced of one pass that walked: its tally ("tally key=value ..."), its erase
// calls ("FF000101 K/J", "FF000C01 V"), the forms it kept ("FF000105 k-hold-link", " unreadable"
// after), and the forms judged with unreadable data.
struct TalliedPass {
  std::map<std::string, std::string> tally;
  std::vector<std::string> eraseCalls;
  std::vector<std::string> kept;
  std::set<std::string> unreadable;
};

inline std::vector<TalliedPass> TalliedPasses(const testing_support::SimResult& result) {
  std::vector<TalliedPass> passes;
  std::vector<std::string> calls;
  for (const std::string& line : result.lines) {
    if (line.rfind("begin-erase ", 0) == 0) calls.push_back(line.substr(12) + " K/J");
    if (line.rfind("erase-v ", 0) == 0) calls.push_back(line.substr(8) + " V");
    if (line.rfind("tally ", 0) == 0) {
      passes.push_back({Pairs(line.substr(6), ' ', '='), std::move(calls), {}, {}});
      calls.clear();
    } else if (line.rfind("tally-kept ", 0) == 0 && !passes.empty()) {
      passes.back().kept.push_back(line.substr(11));
    } else if (line.rfind("tally-unreadable ", 0) == 0 && !passes.empty()) {
      passes.back().unreadable.insert(line.substr(17));
    }
  }
  return passes;
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
  EXPECT_EQ(pass.Figure(report_labels::Paused), Milliseconds(tally.at("lock-ns")));
  EXPECT_EQ(pass.Figure(report_labels::Erased), tally.at("expected-erase"))
      << "erased what the world did "
         "not expect";
}

// Every pass section, in order, against the tally of a pass that walked.
inline void ExpectReportMatchesTallies(const report_reader::Report& report,
                                       const testing_support::SimResult& result) {
  const auto passes = TalliedPasses(result);
  ASSERT_EQ(report.passes.size(), passes.size()) << result.All();
  for (std::size_t i = 0; i < passes.size(); ++i)
    ExpectPassMatchesTally(report.passes[i], passes[i].tally);
}

// The figures the row names, in the report's first pass section.
inline void ExpectFigures(const report_reader::Report& report, const Figures& figures) {
  ASSERT_FALSE(report.passes.empty());
  for (const auto& [label, figure] : figures) {
    EXPECT_EQ(report.passes[0].Figure(label), figure) << label;
  }
}

}  // namespace report_checks
