// The players' guide's tables held to the report's texts (README.md, copied beside this program
// by the build): every reason a FAILED line can name has its row in the table of failures, and
// no other row stands there; every line the report can print has its row in the line-by-line
// table, and every row there names a line the report prints.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "report/pass_section.h"
#include "report/report.h"
#include "report/run_file_names.h"
#include "report/run_files.h"
#include "report/verdict.h"
#include "sim/import_patch.h"
#include "sim/program_files.h"
#include "sim/scratch_folder.h"

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

// A line of the report as the guide's table names it: a figure's line by its label, or by its
// label and its note with the figures left out ("Kept (by the first rule that kept each)");
// any other line whole.
struct PrintedLine {
  std::string text;
  std::string label;  // empty for a line that is no figure's
};

std::vector<PrintedLine> LinesOf(const std::string& report) {
  static const std::regex timestamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  ");
  static const std::regex figure("^(.*?):?  +[0-9.]+ *(.*)$");
  static const std::regex digits("[0-9]+ ?");
  std::vector<PrintedLine> lines;
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t end = report.find('\n', start);
    if (end == std::string::npos) end = report.size();
    std::string line = std::regex_replace(report.substr(start, end - start), timestamp, "");
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.erase(0, line.find_first_not_of(' '));
    if (line.empty()) continue;
    std::smatch parts;
    if (!std::regex_match(line, parts, figure)) {
      lines.push_back({line, ""});
    } else if (parts[2].length() == 0) {
      lines.push_back({parts[1], parts[1]});
    } else {
      lines.push_back(
          {parts[1].str() + " " + std::regex_replace(parts[2].str(), digits, ""), parts[1]});
    }
  }
  return lines;
}

// One line the table names, as its words in italics: a "..." or an N stands for what varies.
struct NamedLine {
  std::string row;
  std::vector<std::string> fixed;  // the words between, in order
  bool openStart = false;
  bool openEnd = false;
};

NamedLine Named(const std::string& row) {
  static const std::regex variable("\\.\\.\\.|\\bN\\b");
  NamedLine named{row,
                  {},
                  std::regex_search(row, std::regex("^(\\.\\.\\.|N\\b)")),
                  std::regex_search(row, std::regex("(\\.\\.\\.|\\bN)$"))};
  for (std::sregex_token_iterator i(row.begin(), row.end(), variable, -1), end; i != end; ++i) {
    std::string part = *i;
    part.erase(0, part.find_first_not_of(' '));
    part.erase(part.find_last_not_of(' ') + 1);
    if (!part.empty()) named.fixed.push_back(part);
  }
  return named;
}

// The line opens with the named words, in order; a line may go on past the last of them only
// where the table leaves it open, or with its closing punctuation ("could not be written.").
bool Names(const NamedLine& named, const std::string& line) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < named.fixed.size(); ++i) {
    const std::string& part = named.fixed[i];
    const bool last = i + 1 == named.fixed.size();
    const std::size_t found = i == 0 && !named.openStart
                                  ? (line.rfind(part, 0) == 0 ? 0 : line.npos)
                              : last && !named.openEnd ? line.rfind(part)
                                                       : line.find(part, at);
    if (found == line.npos || found < at) return false;
    at = found + part.size();
  }
  return named.openEnd || at == line.size() || line[at] == '.' || line[at] == ':';
}

bool Names(const NamedLine& named, const PrintedLine& line) {
  return Names(named, line.text) || (!line.label.empty() && Names(named, line.label));
}

// Each row's first column of the table under "The report line by line": the lines it names, each in
// italics; "'K' / 'J': ..." names the line of each kind.
std::vector<NamedLine> LineByLineTable(const std::string& readme) {
  const std::size_t begin = readme.find("\n| line |", readme.find("### The report line by line"));
  if (begin == std::string::npos) return {};
  const std::string table = readme.substr(begin, readme.find("\n\n", begin) - begin);
  static const std::regex row("\n\\| ([^|]+) \\|");
  static const std::regex italics("\\*([^*]+)\\*");
  static const std::regex kinds("^('.') / ('.'): (.*)$");
  std::vector<NamedLine> named;
  for (std::sregex_iterator r(table.begin(), table.end(), row), end; r != end; ++r) {
    const std::string cell = (*r)[1];
    for (std::sregex_iterator i(cell.begin(), cell.end(), italics); i != end; ++i) {
      const std::string text = (*i)[1];
      std::smatch both;
      if (std::regex_match(text, both, kinds)) {
        named.push_back(Named(both[1].str() + ": " + both[3].str()));
        named.push_back(Named(both[2].str() + ": " + both[3].str()));
      } else {
        named.push_back(Named(text));
      }
    }
  }
  return named;
}

std::string Text(const ReportText& text) {
  return std::string(text.Data(), text.Size());
}

// A pass section as the report prints it: every figure non-zero, or nothing erased.
std::string PassSection(unsigned pass, bool eraseOutposts, bool erasedAny) {
  PassCounters counters;
  counters.slotsInTable = counters.slotsInUse = counters.walkRestarts = 2;
  for (std::uint64_t& erased : counters.erased) erased = erasedAny ? 2 : 0;
  counters.erasedOutposts = erasedAny && eraseOutposts ? 2 : 0;
  for (std::uint64_t& kept : counters.kept) kept = 2;
  counters.skipped = counters.unreadableForms = 2;
  counters.keptFormBUnreadable = true;
  counters.eraseOutposts = eraseOutposts;
  counters.lockHeldTicks = 2;
  ReportText text;
  AddPassSection(text, pass, counters);
  return Text(text);
}

// Every verdict line a pass can end with: the normal one, then each figure out of its range
// (the unreadable share in both of its bands).
std::string EveryVerdictLine() {
  ReportText text;
  PassCounters normal;
  AddVerdict(text, {1, &normal, 0});
  for (const std::uint64_t unreadable : {20, 600}) {
    PassCounters counters;
    counters.erased[0] = 1000;
    counters.unreadableForms = unreadable;
    counters.walkRestarts = 3;
    counters.kept[static_cast<std::size_t>(KeptReason::NoFormOrKeyMismatch)] = 101;
    counters.kept[static_cast<std::size_t>(KeptReason::VKeptForm)] = 3;
    counters.keptFormBUnreadable = true;
    const JudgedFigures figures{2, &counters, 2'000'000};
    EXPECT_EQ(JudgePass(figures).count, JudgedFigureCount) << "a figure is never judged";
    AddVerdict(text, figures);
  }
  return Text(text);
}

// Plain words to compare: markup and line breaks gone, every number an N.
std::string Words(const std::string& text) {
  static const std::regex markup("[*`]|\\s+");
  static const std::regex number("[0-9]+(\\.[0-9]+)?");
  std::string words = std::regex_replace(text, markup, " ");
  words = std::regex_replace(std::regex_replace(words, std::regex(" +"), " "), number, "N");
  return std::regex_replace(words, std::regex("\\bN\\b"), "N");
}

HANDLE(WINAPI* createFile)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);

// No list of forms can be created.
HANDLE WINAPI CreateNoList(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                           DWORD disposition, DWORD flags, HANDLE model) {
  if (std::wcsstr(name, L".txt") != nullptr) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return createFile(name, access, share, security, disposition, flags, model);
}

std::wstring Wide(const char* text) {
  return {text, text + std::strlen(text)};
}

// Armed runs in one game folder that print between them every line outside a pass's section:
// one whose lists have no room and cannot be created, whose second pass fails and whose third
// never ends; then, with a folder at each file's .old name, runs whose files find their usual
// names taken and whose previous report ends inside a pass, the last one without a messaging
// service. Their reports, one after another.
std::string ReportsOfRuns() {
  const sim::ScratchGameFolder folder(L"lines");
  const sim::CurrentDirectoryScope inGameFolder(folder.Path());
  {
    const ImportPatch noLists(GetModuleHandleW(nullptr), "kernel32.dll", "CreateFileW",
                              reinterpret_cast<void*>(&CreateNoList));
    EXPECT_TRUE(noLists.Patched()) << "the lists would be written";
    createFile = reinterpret_cast<decltype(createFile)>(noLists.Original());
    StartReport(false, {false, false});
    ErasedFormsOfPass erased;
    erased.recorded = true;
    KeptFormsOfPass kept;
    kept.recorded = true;
    ReportPassBegins();
    ReportPass(PassCounters{}, erased, kept);
    ReportPassFailure(PassFailure::TooLittleMemoryAtStart, PassCounters{}, erased, kept);
    ReportPassBegins();  // the game ends inside this pass
    CloseRunFiles();
  }
  // Folders where the previous files would go: the usual names stay taken.
  for (std::size_t file = 0; file < RunFileCount; ++file) {
    CreateDirectoryW(
        folder.PluginFile(Wide(OldName(static_cast<RunFile>(file)).text).c_str()).c_str(), nullptr);
  }
  StartReport(true, {true, true});
  ReportRunEnd(false);
  StartReport(true, {true, true});
  ReportRunEnd(true);
  StartReport(true, {true, true});
  ReportNoMessagingService();
  std::string reports;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(folder.PluginFile(L"*.log").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    reports += sim::ReadWholeFile(folder.PluginFile(found.cFileName)).value_or("");
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return reports;
}

TEST(ReportLines, TheGuidesLineByLineTableNamesEveryLineTheReportPrintsAndQuotesTheVerdicts) {
  const std::string readme = sim::ReadWholeFile(sim::BesideThisProgram(L"README.md")).value_or("");
  const std::vector<NamedLine> table = LineByLineTable(readme);
  const std::vector<PrintedLine> printed =
      LinesOf(ReportsOfRuns() + PassSection(1, false, true) + PassSection(2, true, true) +
              PassSection(1, false, false) + PassSection(2, true, false) + EveryVerdictLine());
  ASSERT_GT(table.size(), 30u) << "no line-by-line table in README.md";
  std::set<std::string> unnamed;
  for (const PrintedLine& line : printed) {
    bool named = false;
    for (const NamedLine& row : table) named = named || Names(row, line);
    if (!named) unnamed.insert(line.label.empty() ? line.text : line.label);
  }
  std::set<std::string> unprinted;
  for (const NamedLine& row : table) {
    bool found = false;
    for (const PrintedLine& line : printed) found = found || Names(row, line);
    if (!found) unprinted.insert(row.row);
  }
  EXPECT_EQ(unnamed, std::set<std::string>{}) << "lines the report prints that no row names";
  EXPECT_EQ(unprinted, std::set<std::string>{}) << "rows that name no line the report prints";
  // The guide quotes every verdict line, its words apart from its figures.
  const std::string guide = Words(readme.substr(0, readme.find("<!-- players' guide: end -->")));
  std::istringstream verdicts(EveryVerdictLine());
  int quoted = 0;
  for (std::string line; std::getline(verdicts, line); ++quoted) {
    const std::string words = Words(line.substr(0, line.find('\r')));
    EXPECT_NE(guide.find(words.substr(1)), std::string::npos) << "not in the guide:" << words;
  }
  EXPECT_EQ(quoted, 1 + 2 * static_cast<int>(JudgedFigureCount));
}

}  // namespace
