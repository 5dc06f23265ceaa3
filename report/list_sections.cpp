#include "report/list_sections.h"

#include "report/form_id_text.h"
#include "report/form_lists.h"
#include "report/pass_section.h"
#include "report/report_text.h"
#include "report/run_files.h"

namespace {

// "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0: " and what the list holds, then
// how to search it.
void AppendHeader(RunFile file, const char* holds, const char* lineHolds, bool listsNothing) {
  ReportText text;
  AddProductTitle(text).Add(holds).EndLine();
  text.Add(
          "Search it for the FormId the game's console shows for an object: 8 hex digits, "
          "such as FF00A1B2.")
      .EndLine();
  text.Add(lineHolds).EndLine();
  if (listsNothing) {
    text.Add("The plugin had too little memory at the start to keep this list: it lists no ");
    text.Add("form in this run.").EndLine();
  }
  RunFileAppender(file).Append(text.Data(), text.Size());
}

ReportText& AddCount(ReportText& text, std::uint64_t count, const char* what) {
  return text.AddNumber(count).Add(count == 1 ? " form " : " forms ").Add(what);
}

// "First load: the cleaning pass FAILED ...", as both lists head a failed pass's section.
void AddFailedHeading(ReportText& text, unsigned pass, const PassCounters& counters) {
  text.EndLine().AddTimestamp().Add(LoadName(pass)).Add(": the cleaning pass FAILED ");
  const std::uint64_t erased = ErasedCount(counters);
  const std::uint64_t kept = KeptCount(counters);
  if (erased == 0 && kept == 0) {
    text.Add("before erasing or keeping anything (the report says why).").EndLine();
  } else {
    AddCount(text.Add("after erasing "), erased, "and keeping ").AddNumber(kept);
    text.Add("; the game ended without saving (the report says why).").EndLine();
  }
}

// The heading, the forms, and the closing line: the count listed, where a full record stopped,
// and `unlistedKept` (the report's kept forms this list leaves out). False when any of it
// could not be written.
template <class Form>
bool AppendSection(RunFile file, const ReportText& heading, const FormsOfPass<Form>& recorded,
                   std::uint64_t unlistedKept) {
  RunFileAppender list(file);
  ReportText closing;
  AddCount(closing, recorded.forms.size(), "listed");
  if (recorded.recorded && !recorded.complete) {
    closing.Add("; incomplete from ");
    char digits[FormIdDigits + 1] = {};
    PutFormId(digits, recorded.firstUnrecordedFormId);
    closing.Add(digits).Add(" on: the plugin had no room for more");
  }
  if (unlistedKept != 0) {
    closing.Add("; the report's other ").AddNumber(unlistedKept);
    closing.Add(" kept are of other kinds or table entries with no form");
  }
  closing.EndLine();
  return list.Append(heading.Data(), heading.Size()) && AppendFormLines(list, recorded.forms) &&
         list.Append(closing.Data(), closing.Size());
}

}  // namespace

void StartFormLists(ListRooms rooms) noexcept {
  AppendHeader(RunFile::ErasedList, "the forms its cleaning passes erased, one line each",
               "Each line holds a FormId and its kind (K, J or V), then outpost for an outpost "
               "erased because bEraseOutposts=1, and unreadable where some of its data could "
               "not be read.",
               !rooms.erased);
  AppendHeader(RunFile::KeptList,
               "the run-time forms its cleaning passes kept, one line each, with the rule that "
               "kept it",
               "Each line holds a FormId, its kind (K, J or V), the rule that kept it (explained "
               "in KelvarionSaveCleaner-README.txt), and unreadable where some of its data could "
               "not be read.",
               !rooms.kept);
}

ListsWritten AppendPassToLists(unsigned pass, const PassCounters& counters,
                               const ErasedFormsOfPass& erased,
                               const KeptFormsOfPass& kept) noexcept {
  const auto heading = [pass](std::uint64_t count, const char* what) {
    ReportText text;
    text.EndLine().AddTimestamp().Add(LoadName(pass)).Add(": ");
    AddCount(text, count, what).EndLine();
    return text;
  };
  const std::uint64_t unlisted = UnlistedKeptCount(counters);
  return {!erased.recorded || AppendSection(RunFile::ErasedList,
                                            heading(ErasedCount(counters), "erased"), erased, 0),
          !kept.recorded || AppendSection(RunFile::KeptList,
                                          heading(KeptCount(counters) - unlisted, "kept by a rule"),
                                          kept, unlisted)};
}

void AppendFailedPassToLists(unsigned pass, const PassCounters& counters,
                             const ErasedFormsOfPass& erased,
                             const KeptFormsOfPass& kept) noexcept {
  // Written with or without a record: a pass that failed before its walk lists no form.
  ReportText heading;
  AddFailedHeading(heading, pass, counters);
  AppendSection(RunFile::ErasedList, heading, erased, 0);
  AppendSection(RunFile::KeptList, heading, kept, UnlistedKeptCount(counters));
}
