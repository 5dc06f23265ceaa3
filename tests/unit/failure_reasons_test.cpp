// Every reason a FAILED line of the report can name has its row in the players' guide's table
// of failures (README.md, copied beside this program by the build), and the table has no row
// for a reason the report cannot name.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "report/report.h"
#include "sim/program_files.h"

namespace {

// The first cell of each row between the failure-reasons markers, the header's excepted (the
// rule under it starts "|-", not "| ").
std::set<std::string> ReasonsInTheGuide(const std::string& readme) {
  const std::size_t begin = readme.find("<!-- failure reasons: begin -->");
  const std::size_t end = readme.find("<!-- failure reasons: end -->");
  std::set<std::string> reasons;
  if (begin == std::string::npos || end == std::string::npos) return reasons;
  bool header = true;
  for (std::size_t line = readme.find("\n| ", begin); line < end;
       line = readme.find("\n| ", line + 1)) {
    const std::size_t cellEnd = readme.find(" |", line + 3);
    if (!header) reasons.insert(readme.substr(line + 3, cellEnd - line - 3));
    header = false;
  }
  return reasons;
}

TEST(FailureReasons, TheGuidesTableExplainsEveryReasonTheReportNames) {
  const auto readme = sim::ReadWholeFile(sim::BesideThisProgram(L"README.md"));
  ASSERT_TRUE(readme.has_value());
  std::set<std::string> named;
  for (std::size_t failure = 1; failure < PassFailureCount; ++failure) {
    named.insert(PassFailureReason(static_cast<PassFailure>(failure)));
  }
  EXPECT_EQ(named.size(), PassFailureCount - 1) << "two failures share a text";
  EXPECT_EQ(ReasonsInTheGuide(*readme), named);
}

}  // namespace
