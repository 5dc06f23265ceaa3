// Every reason a FAILED line of the report can name has its row in the players' guide's table
// of failures (README.md, copied beside this program by the build), and no other row stands
// there.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "report/report.h"
#include "sim/program_files.h"

namespace {

TEST(FailureReasons, TheGuidesTableExplainsEveryReasonTheReportNames) {
  const std::string readme = sim::ReadWholeFile(sim::BesideThisProgram(L"README.md")).value_or("");
  const std::size_t begin = readme.find("<!-- failure reasons: begin -->");
  const std::string table =
      readme.substr(begin, readme.find("<!-- failure reasons: end -->") - begin);
  // Each row's first cell; the header's is the only one that is no reason.
  const std::regex row("\n\\| ([^|]+) \\|");
  std::set<std::string> explained;
  for (std::sregex_iterator i(table.begin(), table.end(), row), end; i != end; ++i) {
    explained.insert((*i)[1]);
  }
  std::set<std::string> named = {"the FAILED line says"};
  for (std::size_t failure = 1; failure < PassFailureCount; ++failure) {
    named.insert(PassFailureReason(static_cast<PassFailure>(failure)));
  }
  EXPECT_EQ(named.size(), PassFailureCount) << "two failures share a text";
  EXPECT_EQ(explained, named);
}

}  // namespace
