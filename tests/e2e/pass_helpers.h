// Running cleaning passes in the simulator and reading back what they erased.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/report_checks.h"
#include "tests/random_tables/random_tables.h"
#include "tests/support/sim_run.h"

namespace pass_helpers {

// The erasures in call order, in the model's notation (random_tables::ErasuresOf).
inline std::vector<std::string> Erasures(const testing_support::SimResult& result) {
  std::vector<sim::EraseCall> calls;
  for (const std::string& line : result.Filter({"begin-erase ", "finish-erase ", "erase-v "})) {
    const auto formId =
        static_cast<std::uint32_t>(std::stoul(line.substr(line.rfind(' ') + 1), nullptr, 16));
    calls.push_back({line[0] == 'b' ? 'B' : line[0] == 'f' ? 'F' : 'V', formId});
  }
  return random_tables::ErasuresOf(calls);
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
