#include "report/report.h"

#include <windows.h>

#include <iterator>

#include "host/version_record.h"
#include "report/report_file.h"
#include "report/report_text.h"

namespace {

constexpr std::size_t ValueColumn = 52;  // where the figures of a pass section start
constexpr std::size_t ValueWidth = 10;

// Passes reported so far in this process: the first is the first load's, and so on.
unsigned passesReported = 0;

const char* LoadName(unsigned pass) {
  switch (pass) {
    case 1:
      return "First load";
    case 2:
      return "Second load";
    default:
      return "Another load";
  }
}

// The label each kept reason carries, in KeptReason's order.
constexpr const char* KeptReasonLabels[] = {
    "slot: already erased by an earlier pass",
    "slot: no form, or key and form disagree",
    "slot: not a cleaned type",
    "'K': hold link set",
    "'K': no base object",
    "'K': base is FormId 00000007",
    "'K': loaded base without an '8' related form",
    "'K': named attached items",
    "'K': held by the game",
    "'J': hold link set",
    "'J': no base object",
    "'J': base not created at run time",
    "'J': named attached items",
    "'J': held by the game",
    "'V': one of the two kept forms",
    "'V': list-marked",
    "'V': outpost (bEraseOutposts off)",
};
static_assert(std::size(KeptReasonLabels) == KeptReasonCount, "a label for every kept reason");

constexpr std::size_t Length(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}
// Every label leaves at least two blanks before its figure: readers split the line there.
constexpr bool LabelsFit() {
  for (const char* label : KeptReasonLabels) {
    if (4 + Length(label) + 2 > ValueColumn) return false;
  }
  return true;
}
static_assert(LabelsFit(), "a kept reason's label runs into its figure");

const char* FailureText(PassFailure failure) {
  switch (failure) {
    case PassFailure::NoOutpostMarker:
      return "no outpost marker";
    case PassFailure::ListMarkerFormMissing:
      return "form 0020C59F not found";
    case PassFailure::NoFormTable:
      return "no form table";
    case PassFailure::TableEmpty:
      return "the table is empty";
    case PassFailure::NoKeptFormSource:
      return "no kept-form source";
    case PassFailure::FaultHandlerNotInstalled:
      return "the fault handler could not be installed";
    case PassFailure::OutOfMemory:
      return "out of memory";
    case PassFailure::UnexpectedError:
    case PassFailure::None:
      break;
  }
  return "an unexpected error";
}

// "major.minor.build.sub" of a packed version.
void AddGameVersion(ReportText& text, std::uint32_t packed) {
  text.AddNumber(packed >> 24).Add(".").AddNumber((packed >> 16) & 0xFF).Add(".");
  text.AddNumber((packed >> 4) & 0xFFF).Add(".").AddNumber(packed & 0xF);
}

ReportText& Figure(ReportText& text, const char* label, std::uint64_t value) {
  return text.Add(label).PadTo(ValueColumn).AddNumber(value, ValueWidth);
}

std::uint64_t Sum(const std::uint64_t* values, std::size_t count) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += values[i];
  return sum;
}

}  // namespace

void StartReport(bool eraseOutposts) noexcept {
  const VersionRecord& record = VKRXPlugin_Version;
  ReportText text;
  text.Add(record.displayName, sizeof record.displayName)
      .Add(" v")
      .AddNumber(record.pluginVersion >> 24)
      .Add(".");
  text.AddNumber((record.pluginVersion >> 16) & 0xFF).Add(": cleaning report").EndLine();
  text.Add("Made for Kelvarion ");
  AddGameVersion(text, record.compatibleGameVersions[0]);
  text.Add(", the one game version it works with.").EndLine();
  text.AddTimestamp().Add("Armed by bPluginActive=1. ");
  text.Add(eraseOutposts ? "bEraseOutposts=1: outposts are erased too."
                         : "bEraseOutposts=0: outposts are kept.");
  text.EndLine();
  StartReportFile(text.Data(), text.Size());
}

void ReportNoMessagingService() noexcept {
  ReportText text;
  text.AddTimestamp()
      .Add(
          "The loader offers no messaging service: no cleaning will happen in this game "
          "session.")
      .EndLine();
  AppendToReportFile(text.Data(), text.Size(), false);
}

void ReportPass(const PassCounters& counters) noexcept {
  const std::uint64_t erased = Sum(counters.erased, ErasedTypeCount);
  const std::uint64_t kept = Sum(counters.kept, KeptReasonCount);
  ReportText text;
  text.EndLine().AddTimestamp().Add(LoadName(++passesReported));
  text.Add(": the cleaning pass is complete.").EndLine();
  Figure(text, "  Slots in the table:", counters.slotsInTable).EndLine();
  Figure(text, "  Slots in use:", counters.slotsInUse).EndLine();
  Figure(text, "  Walk restarts (the slot array moved):", counters.walkRestarts).EndLine();
  LARGE_INTEGER ticksPerSecond;
  QueryPerformanceFrequency(&ticksPerSecond);
  text.Add("  Table lock held:").PadTo(ValueColumn);
  text.AddMilliseconds(counters.lockHeldTicks, ticksPerSecond.QuadPart).EndLine();
  Figure(text, "  Run-time forms examined:", erased + kept).Add("  (= ").AddNumber(erased);
  text.Add(" erased + ").AddNumber(kept).Add(" kept)").EndLine();
  Figure(text, "  Erased:", erased).EndLine();
  Figure(text, "    'K' forms", counters.erased[static_cast<int>(ErasedType::K)]).EndLine();
  Figure(text, "    'J' forms", counters.erased[static_cast<int>(ErasedType::J)]).EndLine();
  Figure(text, "    'V' forms", counters.erased[static_cast<int>(ErasedType::V)]).EndLine();
  Figure(text, "  Kept:", kept).Add("  (by the first rule that kept each)").EndLine();
  for (std::size_t reason = 0; reason < KeptReasonCount; ++reason) {
    text.Add("    ");
    Figure(text, KeptReasonLabels[reason], counters.kept[reason]).EndLine();
  }
  Figure(text, "  Faults absorbed on unreadable members:", counters.faultsAbsorbed).EndLine();
  AppendToReportFile(text.Data(), text.Size(), false);
}

void ReportPassFailure(PassFailure failure) noexcept {
  ReportText text;
  text.EndLine().AddTimestamp().Add(LoadName(++passesReported));
  text.Add(": the cleaning pass FAILED: ").Add(FailureText(failure));
  text.Add(". The game ends without saving; the plugin stays armed.").EndLine();
  AppendToReportFile(text.Data(), text.Size(), true);
}

void ReportRunEnd(bool disarmed) noexcept {
  ReportText text;
  text.EndLine().AddTimestamp();
  if (disarmed) {
    text.Add("End of the run: bPluginActive is now 0; the plugin stays idle from the next start.");
  } else {
    text.Add(
        "End of the run: bPluginActive could not be set to 0. Set it to 0 in "
        "KelvarionSaveCleaner.ini yourself.");
  }
  text.EndLine();
  AppendToReportFile(text.Data(), text.Size(), false);
}
