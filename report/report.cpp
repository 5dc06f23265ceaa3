#include "report/report.h"

#include <windows.h>

#include "host/version_record.h"
#include "plugin_identity.h"
#include "report/pass_section.h"
#include "report/report_file.h"
#include "report/report_text.h"

namespace {

// Passes reported so far in this process: the first is the first load's, and so on.
unsigned passesReported = 0;

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
  text.Add("Every line is explained in " PLAYER_GUIDE_FILE ", beside the plugin.").EndLine();
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
  ReportText text;
  AddPassSection(text, ++passesReported, counters);
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
