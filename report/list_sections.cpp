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

ReportText& AddCount(ReportText& text, std::size_t count, const char* what) {
  return text.AddNumber(count).Add(count == 1 ? " form " : " forms ").Add(what);
}

// "First load: the cleaning pass FAILED ...", as both lists head a failed pass's section.
void AddFailedHeading(ReportText& text, unsigned pass, std::size_t erased) {
  text.EndLine().AddTimestamp().Add(LoadName(pass)).Add(": the cleaning pass FAILED ");
  if (erased == 0) {
    text.Add("before erasing anything (the report says why).").EndLine();
  } else {
    AddCount(text.Add("after erasing "), erased, "");
    text.Add("and the game ended without saving them (the report says why).").EndLine();
  }
}

// The heading, the forms, and the closing count; false when any of it could not be written.
template <class Form>
bool AppendSection(RunFile file, const ReportText& heading, std::span<const Form> forms,
                   const KeptFormsOfPass* kept) {
  RunFileAppender list(file);
  ReportText closing;
  AddCount(closing, forms.size(), "listed");
  if (kept != nullptr && !kept->complete) {
    closing.Add("; incomplete from ");
    char digits[FormIdDigits + 1] = {};
    PutFormId(digits, kept->firstUnrecordedFormId);
    closing.Add(digits).Add(" on: the plugin had no room for more");
  }
  closing.EndLine();
  return list.Append(heading.Data(), heading.Size()) && AppendFormLines(list, forms) &&
         list.Append(closing.Data(), closing.Size());
}

}  // namespace

void StartFormLists(bool keptRecorded) noexcept {
  AppendHeader(RunFile::ErasedList, "the forms its cleaning passes erased, one line each",
               "Each line holds a FormId and its kind (K, J or V), then outpost for an outpost "
               "erased because bEraseOutposts=1, and unreadable where some of its data could "
               "not be read.",
               false);
  AppendHeader(RunFile::KeptList,
               "the run-time forms its cleaning passes kept, one line each, with the rule that "
               "kept it",
               "Each line holds a FormId, its kind (K, J or V), the rule that kept it (explained "
               "in KelvarionSaveCleaner-README.txt), and unreadable where some of its data could "
               "not be read.",
               !keptRecorded);
}

ListsWritten AppendPassToLists(unsigned pass, std::span<const ErasedForm> erased,
                               const KeptFormsOfPass& kept) noexcept {
  ReportText erasedHeading;
  erasedHeading.EndLine().AddTimestamp().Add(LoadName(pass)).Add(": ");
  AddCount(erasedHeading, erased.size(), "erased").EndLine();
  const bool erasedWritten = AppendSection(RunFile::ErasedList, erasedHeading, erased, nullptr);
  if (!kept.recorded) return {erasedWritten, true};
  ReportText keptHeading;
  keptHeading.EndLine().AddTimestamp().Add(LoadName(pass)).Add(": ");
  AddCount(keptHeading, kept.forms.size(), "listed, kept by a rule (forms of other kinds are ");
  keptHeading.Add("only counted in the report)");
  keptHeading.EndLine();
  return {erasedWritten, AppendSection(RunFile::KeptList, keptHeading, kept.forms, &kept)};
}

void AppendFailedPassToLists(unsigned pass, std::span<const ErasedForm> erased,
                             const KeptFormsOfPass& kept) noexcept {
  ReportText heading;
  AddFailedHeading(heading, pass, erased.size());
  AppendSection(RunFile::ErasedList, heading, erased, nullptr);
  if (kept.recorded) AppendSection(RunFile::KeptList, heading, kept.forms, &kept);
}
