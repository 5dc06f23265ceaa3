// The lists of erased and of kept forms held against the simulator's own bookkeeping: a
// section for each pass that walked, each form as the engine's erase calls and the tally say,
// each rule word and each unreadable mark as the world says.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/report_checks.h"
#include "tests/support/report_labels.h"

namespace report_checks {

// One pass's section of a list: its heading without the timestamp, its form lines, and its
// closing line ("N forms listed...").
struct ListSection {
  std::string heading;
  std::vector<std::string> forms;
  std::string closing;
};

inline std::vector<ListSection> ReadListSections(const sim::ScratchGameFolder& folder,
                                                 const wchar_t* listName) {
  std::vector<ListSection> sections;
  std::istringstream text(sim::ReadWholeFile(folder.PluginFile(listName)).value_or(""));
  const std::regex stamp("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}  ");
  const std::regex closing("[0-9]+ forms? listed.*");
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::regex_search(line, stamp, std::regex_constants::match_continuous)) {
      sections.push_back({line.substr(21), {}, ""});
    } else if (!sections.empty() && std::regex_match(line, closing)) {
      sections.back().closing = line;
    } else if (!sections.empty() && !line.empty()) {
      sections.back().forms.push_back(line);
    }
  }
  return sections;
}

inline std::string LoadName(std::size_t pass) {
  return pass == 1 ? "First load" : pass == 2 ? "Second load" : "Another load";
}

inline std::string FormCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " form" : " forms");
}

// The FormIds a section marks unreadable.
inline std::set<std::string> MarkedUnreadable(const ListSection& section) {
  std::set<std::string> marked;
  for (const std::string& line : section.forms) {
    if (line.ends_with(" unreadable")) marked.insert(line.substr(0, 8));
  }
  return marked;
}

// Both lists end with the failed pass's section: headed as the guide says, listing nothing.
inline void ExpectListsEndWithAFailedSection(const sim::ScratchGameFolder& folder,
                                             std::size_t sections, const std::string& load) {
  for (const wchar_t* list : {ErasedListName, KeptListName}) {
    const auto read = ReadListSections(folder, list);
    ASSERT_EQ(read.size(), sections);
    EXPECT_EQ(read.back().heading, load +
                                       ": the cleaning pass FAILED before erasing or keeping "
                                       "anything (the report says why).");
    EXPECT_TRUE(read.back().forms.empty());
    EXPECT_EQ(read.back().closing, "0 forms listed");
  }
}

// A record that was full lists the forms up to the first it had no room for, which its closing
// line names: `expected` is cut there. Where the closing line's count ends (npos: complete).
inline std::size_t CutWhereTheRoomEnds(const ListSection& section,
                                       std::vector<std::string>& expected) {
  const std::string full = "; incomplete from ";
  const std::size_t at = section.closing.find(full);
  if (at == std::string::npos) return at;
  const std::string firstMissing = section.closing.substr(at + full.size(), 8);
  const auto missing = std::find_if(expected.begin(), expected.end(), [&](const auto& line) {
    return line.rfind(firstMissing, 0) == 0;
  });
  EXPECT_NE(missing, expected.end()) << section.closing;
  expected.erase(missing, expected.end());
  return at;
}

// The list of erased forms: its heading, the forms in the order of the erase calls, each kind
// as the call says ('V' for EraseVForm, 'K' or 'J' for BeginErase) and as the tally counts
// it, outposts included, the unreadable mark where the tally says, and the closing count (a
// full record's list stops where its closing line says).
inline void ExpectErasedListMatchesEraseCalls(const sim::ScratchGameFolder& folder,
                                              const testing_support::SimResult& result,
                                              const wchar_t* listName = ErasedListName) {
  const auto sections = ReadListSections(folder, listName);
  const auto passes = TalliedPasses(result);
  ASSERT_EQ(sections.size(), passes.size()) << "a section for each pass that walked";
  // Flags in their fixed order: outpost, then unreadable.
  const std::regex shape("[0-9A-F]{8} ([KJV])( outpost)?( unreadable)?");
  for (std::size_t i = 0; i < passes.size(); ++i) {
    SCOPED_TRACE("pass " + std::to_string(i + 1));
    const TalliedPass& pass = passes[i];
    EXPECT_EQ(sections[i].heading,
              LoadName(i + 1) + ": " + FormCount(pass.eraseCalls.size()) + " erased");
    std::vector<std::string> listed, expected;
    std::map<std::string, std::uint64_t> kinds;
    std::uint64_t outposts = 0;
    for (const std::string& line : sections[i].forms) {
      std::smatch parts;
      ASSERT_TRUE(std::regex_match(line, parts, shape)) << line;
      ++kinds[parts[1]];
      outposts += parts[2].matched ? 1 : 0;
      const std::string kind = parts[1] == "V" ? "V" : "K/J";
      listed.push_back(line.substr(0, 9) + kind + (parts[3].matched ? " unreadable" : ""));
    }
    for (const std::string& call : pass.eraseCalls) {
      expected.push_back(call + (pass.unreadable.count(call.substr(0, 8)) ? " unreadable" : ""));
    }
    const std::size_t at = CutWhereTheRoomEnds(sections[i], expected);
    EXPECT_EQ(sections[i].closing.substr(0, at), FormCount(expected.size()) + " listed");
    EXPECT_EQ(listed, expected);
    if (at != std::string::npos) continue;  // the kinds of the forms not listed are unknown
    const auto erased = Counts(pass.tally.at("erased"));
    EXPECT_EQ(kinds["K"], erased.at("K"));
    EXPECT_EQ(kinds["J"], erased.at("J"));
    EXPECT_EQ(kinds["V"], erased.at("V"));
    EXPECT_EQ(std::to_string(outposts), pass.tally.at("outposts"));
  }
}

// The list of kept forms: each form the tally says a rule kept (forms of other types and
// slots without their form are not listed), in walk order, with its kind, its rule's word and
// its unreadable mark; a closing count that says where a full record stopped. Together with
// the erased list's (unless it has none), its marks are exactly the forms the tally found
// unreadable.
inline void ExpectKeptListMatchesTally(const sim::ScratchGameFolder& folder,
                                       const testing_support::SimResult& result,
                                       const wchar_t* listName = KeptListName,
                                       const wchar_t* erasedListName = ErasedListName) {
  const auto sections = ReadListSections(folder, listName);
  const auto erasedSections =
      erasedListName ? ReadListSections(folder, erasedListName) : std::vector<ListSection>{};
  const auto passes = TalliedPasses(result);
  ASSERT_EQ(sections.size(), passes.size()) << "a section for each pass that walked";
  for (std::size_t i = 0; i < passes.size(); ++i) {
    SCOPED_TRACE("pass " + std::to_string(i + 1));
    std::vector<std::string> expected;
    std::uint64_t unlisted = 0;
    for (const std::string& kept : passes[i].kept) {
      const std::string reason = kept.substr(9, kept.find(' ', 9) - 9);
      if (reason == "no-form" || reason == "other-type") {
        ++unlisted;
        continue;
      }
      const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
      expected.push_back(kept.substr(0, 9) + kind + " " +
                         report_labels::KeptReasonNamed(reason).word +
                         (kept.ends_with(" unreadable") ? " unreadable" : ""));
    }
    EXPECT_EQ(sections[i].heading,
              LoadName(i + 1) + ": " + FormCount(expected.size()) + " kept by a rule");
    // The closing line: the count listed, where a full record stopped, then the report's other
    // kept forms, which the list leaves out.
    const std::size_t at = CutWhereTheRoomEnds(sections[i], expected);
    const std::string& closing = sections[i].closing;
    const std::string others = unlisted == 0
                                   ? ""
                                   : "; the report's other " + std::to_string(unlisted) +
                                         " kept are of other kinds or table entries with no form";
    EXPECT_TRUE(closing.ends_with(others)) << closing;
    EXPECT_EQ(closing.substr(0, std::min(at, closing.size() - others.size())),
              FormCount(expected.size()) + " listed");
    EXPECT_EQ(sections[i].forms, expected);
    std::set<std::string> marked = MarkedUnreadable(sections[i]);
    if (i < erasedSections.size()) marked.merge(MarkedUnreadable(erasedSections[i]));
    if (at == std::string::npos && erasedListName != nullptr) {
      EXPECT_EQ(marked, passes[i].unreadable);
    }
  }
}

}  // namespace report_checks
