#include "sim/run_summary.h"

#include <map>
#include <string>
#include <utility>

#include "sim/forms.h"
#include "sim/game_memory.h"
#include "sim/protocol.h"
#include "sim/trace.h"

namespace sim {

void PrintFormSummary() {
  std::map<std::string, std::pair<unsigned, unsigned>> byRule;  // erased, kept
  for (const FormRecord& record : RecordedForms()) {
    if (record.note.empty()) continue;
    const bool erased = Get<std::uint8_t>(record.form, Member::SimFlags) & FlagErased;
    std::string key = std::string(1, static_cast<char>(record.type)) + " " + record.note;
    for (char& c : key) c = c == '_' ? ' ' : c;
    (erased ? byRule[key].first : byRule[key].second)++;
  }
  for (const auto& [rule, counts] : byRule) {
    Trace("  %-54s erased %5u  kept %5u", rule.c_str(), counts.first, counts.second);
  }
  Trace("  erase calls: %llu; table lock taken %llu times, released %llu times",
        static_cast<unsigned long long>(Counters().erasures),
        static_cast<unsigned long long>(Counters().locks),
        static_cast<unsigned long long>(Counters().unlocks));
}

}  // namespace sim
