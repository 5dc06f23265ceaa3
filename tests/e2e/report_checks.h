// The plugin's report, held against the simulator's own bookkeeping: each pass section's
// figures against the tally the simulator traced at that pass's unlock (erase calls per type
// from its stubs, kept reasons from each form's expect=, faults derived from the world, the
// lock time on its virtual clock).
#pragma once

#include <gtest/gtest.h>

#include <map>
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

// Label and figure of one line of a pass section.
using Figures = std::vector<std::pair<std::string, std::string>>;

inline bool ReportExists(const sim::ScratchGameFolder& folder) {
  return sim::ReadWholeFile(folder.PluginFile(ReportName)).has_value();
}

inline report_reader::Report ReadReport(const sim::ScratchGameFolder& folder) {
  return report_reader::Parse(sim::ReadWholeFile(folder.PluginFile(ReportName)).value_or(""));
}

// The simulator's "tally key=value ..." lines, one map a pass.
inline std::vector<std::map<std::string, std::string>> Tallies(
    const testing_support::SimResult& result) {
  std::vector<std::map<std::string, std::string>> tallies;
  for (const std::string& line : result.Filter({"tally "})) {
    std::map<std::string, std::string> tally;
    std::size_t start = 6;
    while (start < line.size()) {
      std::size_t end = line.find(' ', start);
      if (end == std::string::npos) end = line.size();
      const std::string pair = line.substr(start, end - start);
      const std::size_t equals = pair.find('=');
      tally[pair.substr(0, equals)] = equals == std::string::npos ? "" : pair.substr(equals + 1);
      start = end + 1;
    }
    tallies.push_back(tally);
  }
  return tallies;
}

// "NAME:N,NAME:N" as a map.
inline std::map<std::string, std::uint64_t> Counts(const std::string& list) {
  std::map<std::string, std::uint64_t> counts;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(start, end - start);
    const std::size_t colon = item.find(':');
    counts[item.substr(0, colon)] = std::stoull(item.substr(colon + 1));
    start = end + 1;
  }
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
  const auto erased = Counts(tally.at("erased"));
  const auto kept = Counts(tally.at("kept"));
  std::uint64_t erasedTotal = 0, keptTotal = 0;
  for (const auto& [type, count] : erased) erasedTotal += count;
  for (const auto& [reason, count] : kept) keptTotal += count;
  EXPECT_EQ(pass.Figure("Slots in the table"), tally.at("slots"));
  EXPECT_EQ(pass.Figure("Slots in use"), tally.at("in-use"));
  EXPECT_EQ(pass.Figure("Walk restarts (the slot array moved)"), tally.at("restarts"));
  EXPECT_EQ(pass.Figure("Table lock held"), Milliseconds(tally.at("lock-ns")));
  EXPECT_EQ(pass.Figure("Run-time forms examined"), tally.at("examined"));
  EXPECT_EQ(
      pass.notes.at("Run-time forms examined"),
      "(= " + std::to_string(erasedTotal) + " erased + " + std::to_string(keptTotal) + " kept)");
  EXPECT_EQ(pass.Figure("Erased"), std::to_string(erasedTotal));
  EXPECT_EQ(tally.at("expected-erase"), std::to_string(erasedTotal)) << "erased what the world "
                                                                        "did not expect";
  EXPECT_EQ(pass.Figure("'K' forms"), std::to_string(erased.at("K")));
  EXPECT_EQ(pass.Figure("'J' forms"), std::to_string(erased.at("J")));
  EXPECT_EQ(pass.Figure("'V' forms"), std::to_string(erased.at("V")));
  EXPECT_EQ(pass.Figure("Kept"), std::to_string(keptTotal));
  for (const auto& [reason, label] : report_reader::KeptReasonLabels()) {
    const auto count = kept.find(reason);
    EXPECT_EQ(pass.Figure(label), std::to_string(count == kept.end() ? 0 : count->second)) << label;
  }
  for (const auto& [reason, count] : kept) {
    EXPECT_TRUE(report_reader::KeptReasonLabels().count(reason))
        << count << " forms kept for no reason the world states: " << reason;
  }
  EXPECT_EQ(pass.Figure("Faults absorbed on unreadable members"), tally.at("faults"));
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

}  // namespace report_checks
