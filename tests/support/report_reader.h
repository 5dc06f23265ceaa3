// Reading the plugin's report (KelvarionSaveCleaner.log) as a player's helper would: its
// lines without timestamps, and each pass section's figures by label. No GoogleTest: the
// lean pass runner reads the report too.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace report_reader {

struct PassSection {
  std::string title;  // the verdict, e.g. "Second load: nothing more to erase, a normal result."
  std::string next;   // what the player does next ("Next: ..."), or empty
  // Label (without its colon) -> the figure's first word ("2978", "6.641").
  std::map<std::string, std::string> figures;
  // Label -> what follows the figure ("(= 1500 erased + 930 kept)", "ms").
  std::map<std::string, std::string> notes;
  bool keptFormBUnreadable = false;  // the section says the second kept form was unreadable
  // Its verdict: "Verdict: every figure is in its normal range.", or a "Look at: ..." or
  // "Ask for help: ..." line for each figure out of its range.
  std::vector<std::string> verdict;

  std::string Figure(const std::string& label) const;
};

struct Report {
  std::vector<std::string> lines;   // every line, timestamps removed
  std::vector<PassSection> passes;  // the sections of passes that walked, in order
  bool crlfOnly = true;             // every line ends with CR LF, and nothing else
  bool asciiOnly = true;

  bool Has(const std::string& line) const;
};

Report Parse(const std::string& text);

// What a pass section should show, from whoever counted it (the simulator, the model):
// erased forms by type code, kept forms by reason name (report_labels::KeptReasons).
struct ExpectedPass {
  std::uint64_t slots = 0, inUse = 0, restarts = 0, examined = 0, skipped = 0, unreadable = 0;
  bool keptFormBUnreadable = false;
  std::map<char, std::uint64_t> erased;
  std::map<std::string, std::uint64_t> kept;
  std::uint64_t erasedOutposts = 0;  // among the erased 'V' forms
  bool eraseOutposts = false;        // the setting the pass ran with
};

// One line "  LABEL: report X, expected Y" for each figure that differs (an unknown reason
// among the kept ones too), and for a verdict that does not agree with the figures; empty
// when the section shows what was expected.
std::string Differences(const PassSection& pass, const ExpectedPass& expected);

// The verdict a pass section opens with, from its figures ("First load: 1500 forms erased
// (750 'K', 300 'J', 450 'V'), 930 kept."), written here apart from the plugin's.
std::string ExpectedVerdict(unsigned pass, const ExpectedPass& expected);

}  // namespace report_reader
