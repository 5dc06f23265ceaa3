// Generated tables, both passes each, on the real DLL; the sequence of erase calls is
// compared with the model in tests/random_tables. The lean pass runner compares many more
// tables in-process; these go through the whole road: loader, sinks, the DLL's own imports.
// Reproduce a failure with KSC_SEED=<seed printed in the failure>.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/pass_helpers.h"
#include "tests/e2e/report_checks.h"
#include "tests/random_tables/random_tables.h"

namespace {

TEST(RandomizedPasses, ErasureSequencesMatchTheModel) {
  const char* fixed = std::getenv("KSC_SEED");
  const unsigned first = fixed ? static_cast<unsigned>(std::strtoul(fixed, nullptr, 10)) : 1000;
  const unsigned count = fixed ? 1 : 40;
  for (unsigned seed = first; seed < first + count; ++seed) {
    const random_tables::Table table = random_tables::MakeTable(seed);
    const std::string script = random_tables::Script(table);
    testing_support::SimScenario scenario;
    scenario.WriteSettings(table.eraseOutposts ? testing_support::ArmedWithOutposts
                                               : testing_support::ArmedSettings);
    if (fixed != nullptr) {  // reproducing: keep the scenario for kelvarion_sim --script
      if (FILE* file = std::fopen(("randomized-" + std::to_string(seed) + ".txt").c_str(), "wb")) {
        std::fputs(script.c_str(), file);
        std::fclose(file);
      }
    }
    const auto result = scenario.Run(script);
    const auto model = random_tables::Model(table);
    std::vector<std::string> expected = model.erasures[0];
    expected.insert(expected.end(), model.erasures[1].begin(), model.erasures[1].end());
    ASSERT_EQ(pass_helpers::Erasures(result), expected)
        << "seed " << seed << " (rerun with KSC_SEED=" << seed << ")\n"
        << result.All();
    ASSERT_EQ(result.Count("lock"), 2) << "seed " << seed << result.All();
    ASSERT_EQ(result.Count("unlock"), 2) << "seed " << seed;
    ASSERT_EQ(result.CountPrefix("error"), 0) << "seed " << seed << result.All();
    ASSERT_TRUE(result.Completed()) << "seed " << seed << result.All();
    // The report against the simulator's tally, on every generated shape.
    SCOPED_TRACE("seed " + std::to_string(seed));
    report_checks::ExpectReportMatchesTallies(report_checks::ReadReport(scenario.Folder()), result);
  }
}

}  // namespace
