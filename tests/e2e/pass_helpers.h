// Running cleaning passes in the simulator and reading back what they erased.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/report_checks.h"
#include "tests/support/sim_run.h"

namespace pass_helpers {

// The erasures in call order: "KJ <id>" for BeginErase directly followed by FinishErase of
// the same form, "V <id>" for EraseVForm, anything else verbatim (a broken sequence).
inline std::vector<std::string> Erasures(const testing_support::SimResult& result) {
  const auto calls = result.Filter({"begin-erase ", "finish-erase ", "erase-v "});
  std::vector<std::string> erasures;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string id = calls[i].substr(calls[i].rfind(' ') + 1);
    if (calls[i].rfind("erase-v ", 0) == 0) {
      erasures.push_back("V " + id);
    } else if (calls[i].rfind("begin-erase ", 0) == 0 && i + 1 < calls.size() &&
               calls[i + 1] == "finish-erase " + id) {
      erasures.push_back("KJ " + id);
      ++i;
    } else {
      erasures.push_back(calls[i]);
    }
  }
  return erasures;
}

// Starts armed, attaches the sinks and loads `loads` times; `between` runs after each load.
// With `report`, also reads the plugin's report left in the game folder.
inline testing_support::SimResult RunLoads(
    const std::string& world, int loads = 1,
    const std::string& settings = testing_support::ArmedSettings, const std::string& between = "",
    report_reader::Report* report = nullptr) {
  testing_support::SimScenario scenario;
  scenario.WriteSettings(settings);
  std::string script = world + "load\nmessage 2\n";
  for (int i = 0; i < loads; ++i) script += "loadgame\n" + between;
  auto result = scenario.Run(script);
  if (report != nullptr) *report = report_checks::ReadReport(scenario.Folder());
  return result;
}

}  // namespace pass_helpers
