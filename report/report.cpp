#include "report/report.h"

#include <windows.h>

#include "host/game_layout.h"
#include "host/plugin_identity.h"
#include "host/version_record.h"
#include "report/erased_list.h"
#include "report/form_id_text.h"
#include "report/pass_section.h"
#include "report/report_file.h"
#include "report/report_text.h"

namespace {

// Passes reported so far in this process: the first is the first load's, and so on.
unsigned passesReported = 0;

// "major.minor.build.sub" of a packed version.
void AddGameVersion(ReportText& text, std::uint32_t packed) {
  const VersionParts version = UnpackVersion(packed);
  text.AddNumber(version.major).Add(".").AddNumber(version.minor).Add(".");
  text.AddNumber(version.build).Add(".").AddNumber(version.subBuild);
}

// "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0: ", the files' first words.
ReportText& AddProductTitle(ReportText& text) {
  const VersionRecord& record = VKRXPlugin_Version;
  text.Add(record.displayName, sizeof record.displayName).Add(" v");
  return text.Add(ShortVersion(record.pluginVersion).text).Add(": ");
}

void AppendToReport(const ReportText& text, bool flush) noexcept {
  RunFileAppender report(RunFile::Report);
  if (report.Append(text.Data(), text.Size()) && flush) report.Flush();
}

void StartErasedList() noexcept {
  ReportText text;
  AddProductTitle(text).Add("the forms its cleaning passes erased, one line each").EndLine();
  text.Add(
          "Search it for the FormId the game's console shows for an object: 8 hex digits, "
          "such as FF00A1B2.")
      .EndLine();
  text.Add(
          "Each line holds a FormId and its kind: K, J, V, or V outpost (erased because "
          "bEraseOutposts=1).")
      .EndLine();
  StartRunFile(RunFile::ErasedList, text.Data(), text.Size());
}

// This pass's heading, one line a form, and the count that closes it: a list cut short
// lacks that last line. False when any of it could not be written.
bool AppendToErasedList(unsigned pass, std::span<const ErasedForm> erased) noexcept {
  RunFileAppender list(RunFile::ErasedList);
  ReportText heading;
  heading.EndLine().AddTimestamp().Add(LoadName(pass)).Add(": ").AddNumber(erased.size());
  heading.Add(erased.size() == 1 ? " form erased" : " forms erased").EndLine();
  ReportText closing;
  closing.AddNumber(erased.size()).Add(erased.size() == 1 ? " form listed" : " forms listed");
  closing.EndLine();
  return list.Append(heading.Data(), heading.Size()) && AppendErasedForms(list, erased) &&
         list.Append(closing.Data(), closing.Size());
}

constexpr TextWithFormId ListMarkerMissing =
    WithFormId("the game has no form ", ListMarkerFormId, "");

}  // namespace

// Players read these on the FAILED line, and the players' guide explains each in its table of
// failures (a unit test holds the two equal).
const char* PassFailureReason(PassFailure failure) noexcept {
  switch (failure) {
    case PassFailure::NoOutpostMarker:
      return "the game's outpost marker is missing";
    case PassFailure::ListMarkerFormMissing:
      return ListMarkerMissing.text;
    case PassFailure::NoFormTable:
      return "the game's table of forms is missing";
    case PassFailure::TableEmpty:
      return "the game's table of forms is empty";
    case PassFailure::NoKeptFormSource:
      return "the game's record of its kept forms is missing";
    case PassFailure::FaultHandlerNotInstalled:
      return "Windows refused the guard against unreadable data";
    case PassFailure::OutOfMemory:
      return "the game ran out of memory";
    case PassFailure::UnexpectedError:
    case PassFailure::None:
      break;
  }
  return "an unexpected error in the plugin";
}

void StartReport(bool eraseOutposts) noexcept {
  ReportText text;
  AddProductTitle(text).Add("cleaning report").EndLine();
  text.Add("Made for Kelvarion ");
  AddGameVersion(text, VKRXPlugin_Version.compatibleGameVersions[0]);
  text.Add(", the one game version it works with.").EndLine();
  text.Add("Every line is explained in " PLAYER_GUIDE_FILE ", beside the plugin.").EndLine();
  text.AddTimestamp().Add("Armed by bPluginActive=1. ");
  text.Add(eraseOutposts ? "bEraseOutposts=1: outposts are erased too."
                         : "bEraseOutposts=0: outposts are kept.");
  text.EndLine();
  StartRunFile(RunFile::Report, text.Data(), text.Size());
  StartErasedList();
}

void ReportNoMessagingService() noexcept {
  ReportText text;
  text.AddTimestamp()
      .Add(
          "The loader offers no messaging service: no cleaning will happen in this game "
          "session.")
      .EndLine();
  AppendToReport(text, false);
}

void ReportPass(const PassCounters& counters, std::span<const ErasedForm> erased) noexcept {
  const unsigned pass = ++passesReported;
  const bool listed = AppendToErasedList(pass, erased);
  ReportText text;
  AddPassSection(text, pass, counters);
  if (!listed) {
    text.Add("  The list of erased forms (KelvarionSaveCleaner.erased.txt) could not be written.");
    text.EndLine();
  }
  AppendToReport(text, false);
}

void ReportPassFailure(PassFailure failure) noexcept {
  ReportText text;
  text.EndLine().AddTimestamp().Add(LoadName(++passesReported));
  text.Add(": the cleaning pass FAILED: ").Add(PassFailureReason(failure));
  text.Add(". The game ends without saving; the plugin stays armed.").EndLine();
  AppendToReport(text, true);
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
  AppendToReport(text, false);
}
