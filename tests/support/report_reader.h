// Reading the plugin's report (KelvarionSaveCleaner.log) as a player's helper would: its
// lines without timestamps, and each pass section's figures by label. No GoogleTest: the
// lean pass runner reads the report too.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace report_reader {

struct PassSection {
  std::string title;  // e.g. "First load: the cleaning pass is complete."
  // Label (without its colon) -> the figure's first word ("2978", "6.641").
  std::map<std::string, std::string> figures;
  // Label -> what follows the figure ("(= 1500 erased + 930 kept)", "ms").
  std::map<std::string, std::string> notes;

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

// The label the report gives each kept reason, by the name the simulator's tally and the
// model use for it.
const std::map<std::string, std::string>& KeptReasonLabels();

}  // namespace report_reader
