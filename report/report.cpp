#include "report/report.h"

#include <windows.h>

#include <string_view>

#include "host/game_layout.h"
#include "host/plugin_identity.h"
#include "host/version_record.h"
#include "report/form_id_text.h"
#include "report/list_sections.h"
#include "report/pass_section.h"
#include "report/report_text.h"
#include "report/run_files.h"

namespace {

// Passes reported so far in this process: the first is the first load's, and so on. A pass
// whose begins line is written is counted then, and its section goes on from that line.
unsigned passesReported = 0;
bool passBegun = false;

// The number of the pass whose section is written now. A section opens with a blank line,
// unless the pass's begins line opened it already.
unsigned OpenPassSection(ReportText& text) {
  if (!passBegun) {
    ++passesReported;
    text.EndLine();
  }
  passBegun = false;
  return passesReported;
}

// "major.minor.build.sub" of a packed version.
void AddGameVersion(ReportText& text, std::uint32_t packed) {
  const VersionParts version = UnpackVersion(packed);
  text.AddNumber(version.major).Add(".").AddNumber(version.minor).Add(".");
  text.AddNumber(version.build).Add(".").AddNumber(version.subBuild);
}

void AppendToReport(const ReportText& text, bool flush) noexcept {
  RunFileAppender report(RunFile::Report);
  if (report.Append(text.Data(), text.Size()) && flush) report.Flush();
}

// What each run file holds, as the report names it.
const char* WhatItHolds(RunFile file) {
  switch (file) {
    case RunFile::Report:
      return "report";
    case RunFile::ErasedList:
      return "list of erased forms";
    case RunFile::KeptList:
      break;
  }
  return "list of kept forms";
}

// Why the usual name could not be taken, in a player's words, after "as ".
void AddWhyNotUsual(ReportText& text, RunFile file) {
  const SetAside setAside = SetAsideOf(file);
  const RunFileName about = setAside.onOld ? OldName(file) : UsualName(file);
  switch (setAside.obstacle) {
    case Obstacle::HeldOpen:
      text.Add("another program has ")
          .Add(about.text)
          .Add(" open (close it before the next start)");
      return;
    case Obstacle::OldReadOnly:
      text.Add(about.text).Add(" is read-only, and the cleaner keeps it");
      return;
    case Obstacle::FolderInPlace:
      text.Add("a folder stands in the place of ").Add(about.text);
      return;
    case Obstacle::LiveWriter:
      text.Add("another program is writing it: a second game, or another program");
      return;
    case Obstacle::Refused:
    case Obstacle::None:
      break;
  }
  text.Add("Windows refused to move it aside or to create it");
}

// A run file that could not take its usual name: the report says which file to read instead,
// and why.
void AddOtherNames(ReportText& text) {
  for (std::size_t i = 0; i < RunFileCount; ++i) {
    const auto file = static_cast<RunFile>(i);
    if (PlaceOf(file) != RunFilePlace::OtherName) continue;
    text.Add("This run's ").Add(WhatItHolds(file)).Add(" is ").Add(NameOf(file).text);
    text.Add(": ").Add(UsualName(file).text).Add(" could not be replaced, as ");
    AddWhyNotUsual(text, file);
    text.Add(".").EndLine();
  }
}

// "  The list of erased forms (KelvarionSaveCleaner.erased.txt) could not be written."
void AddUnwritten(ReportText& text, RunFile file) {
  text.Add("  The ").Add(WhatItHolds(file)).Add(" (").Add(NameOf(file).text);
  text.Add(") could not be written.").EndLine();
}

// "The report KelvarionSaveCleaner.log held at this start ends during its first load's
// cleaning pass: ..." That report's run is the last to have had the usual name, not always the
// last run: a later one may have taken a dated name.
void AddPreviousRunEnd(ReportText& text) {
  const PreviousReport previous = PreviousReportOf();
  if (previous.passLeftOpen == 0) return;
  text.Add("The report ").Add(UsualName(RunFile::Report).text);
  text.Add(" held at this start ends during its ");
  switch (previous.passLeftOpen) {
    case 1:
      text.Add("first load's");
      break;
    case 2:
      text.Add("second load's");
      break;
    default:
      text.Add("later load's");
  }
  text.Add(" cleaning pass: the game closed before that pass finished. That report is ");
  text.Add(previous.nowAt.text == std::string_view(UsualName(RunFile::Report).text) ? "still "
                                                                                    : "now ");
  text.Add(previous.nowAt.text).Add(".").EndLine();
}

// What a failed pass had done: nothing, when it failed before its walk.
void AddFailedPassFigures(ReportText& text, const PassCounters& counters) {
  const std::uint64_t erased = ErasedCount(counters);
  const std::uint64_t kept = KeptCount(counters);
  if (erased == 0 && kept == 0 && counters.skipped == 0) {
    text.Add("Nothing was erased or kept.");
    return;
  }
  text.Add("It had examined ").AddNumber(erased + kept + counters.skipped);
  text.Add(" run-time forms: ").AddNumber(erased).Add(" erased (");
  AddErasedByKind(text, counters).Add("), ").AddNumber(kept).Add(" kept, ");
  text.AddNumber(counters.skipped).Add(" skipped.");
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
    case PassFailure::TooLittleMemoryAtStart:
      return "the game had too little memory free when it started";
    case PassFailure::UnexpectedError:
    case PassFailure::None:
      break;
  }
  return "an unexpected error in the plugin";
}

void StartReport(bool eraseOutposts, ListRooms rooms) noexcept {
  OpenRunFiles();
  ReportText text;
  AddProductTitle(text).Add("cleaning report").EndLine();
  AddOtherNames(text);
  AddPreviousRunEnd(text);
  text.Add("Made for Kelvarion ");
  AddGameVersion(text, VKRXPlugin_Version.compatibleGameVersions[0]);
  text.Add(", the one game version it works with.").EndLine();
  text.Add("Every line is explained in " PLAYER_GUIDE_FILE ", beside the plugin.").EndLine();
  text.AddTimestamp().Add("Armed by bPluginActive=1. ");
  text.Add(eraseOutposts ? "bEraseOutposts=1: outposts are erased too."
                         : "bEraseOutposts=0: outposts are kept.");
  text.EndLine();
  if (!rooms.erased) {
    text.Add("There is no list of erased forms in this run: too little memory at the start.");
    text.EndLine();
  }
  if (!rooms.kept) {
    text.Add("There is no list of kept forms in this run: too little memory at the start.");
    text.EndLine();
  }
  RunFileAppender(RunFile::Report).Append(text.Data(), text.Size());
  StartFormLists(rooms);
}

void ReportNoMessagingService() noexcept {
  ReportText text;
  text.AddTimestamp()
      .Add(
          "The loader offers no messaging service: no cleaning will happen in this game "
          "session.")
      .EndLine();
  AppendToReport(text, false);
  CloseRunFiles();
}

void ReportPassBegins() noexcept {
  ReportText text;
  const unsigned pass = OpenPassSection(text);
  passBegun = true;
  text.AddTimestamp().Add(LoadName(pass)).Add(PassBeginsText).EndLine();
  AppendToReport(text, true);
}

void ReportPass(const PassCounters& counters, const ErasedFormsOfPass& erased,
                const KeptFormsOfPass& kept) noexcept {
  ReportText text;
  const unsigned pass = OpenPassSection(text);
  const ListsWritten listed = AppendPassToLists(pass, counters, erased, kept);
  AddPassSection(text, pass, counters);
  if (!listed.erased) AddUnwritten(text, RunFile::ErasedList);
  if (!listed.kept) AddUnwritten(text, RunFile::KeptList);
  AddPassVerdict(text, pass, counters);
  AppendToReport(text, false);
}

void ReportPassFailure(PassFailure failure, const PassCounters& counters,
                       const ErasedFormsOfPass& erased, const KeptFormsOfPass& kept) noexcept {
  ReportText text;
  const unsigned pass = OpenPassSection(text);
  text.AddTimestamp().Add(LoadName(pass));
  text.Add(": the cleaning pass FAILED: ").Add(PassFailureReason(failure)).Add(". ");
  AddFailedPassFigures(text, counters);
  text.Add(" The game ends without saving; the plugin stays armed.").EndLine();
  AppendToReport(text, true);
  AppendFailedPassToLists(pass, counters, erased, kept);
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
  text.Add("  The cleaned save is the one you create now, when the box says the second phase is ");
  text.Add("complete: quit, restart the game and load it.").EndLine();
  AppendToReport(text, false);
  CloseRunFiles();
}
