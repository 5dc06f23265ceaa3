#include "report/form_lists.h"

#include <iterator>

#include "report/form_id_text.h"
#include "report/kept_reasons.h"

namespace {

// A few hundred kilobytes a write: the first pass of a large save erases some hundred
// thousand forms. Static, so that writing allocates nothing; only the load-game thread writes.
constexpr std::size_t ChunkBytes = std::size_t{256} * 1024;
constexpr std::size_t LongestLine = 48;
char chunk[ChunkBytes];

constexpr char ErasedKinds[] = {'K', 'J', 'V'};
static_assert(std::size(ErasedKinds) == ErasedTypeCount, "a kind for every erased type");
// Flags follow the kind and any word, always in this order: players filter on them.
constexpr const char* OutpostFlag = " outpost";
constexpr const char* UnreadableFlag = " unreadable";

char* PutText(char* out, const char* text) {
  for (; *text != '\0'; ++text) *out++ = *text;
  return out;
}

char* PutStart(char* out, std::uint32_t formId, char kind) {
  out = PutFormId(out, formId);
  *out++ = ' ';
  *out++ = kind;
  return out;
}

char* PutEnd(char* out, bool unreadable) {
  if (unreadable) out = PutText(out, UnreadableFlag);
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

char* PutLine(char* out, const ErasedForm& form) {
  out = PutStart(out, form.formId, ErasedKinds[static_cast<std::size_t>(form.type)]);
  if (form.outpost) out = PutText(out, OutpostFlag);
  return PutEnd(out, form.unreadable);
}

char* PutLine(char* out, const KeptForm& form) {
  const KeptReasonText& text = TextOf(form.reason);
  out = PutStart(out, form.formId, text.kind);
  *out++ = ' ';
  return PutEnd(PutText(out, text.word), form.unreadable);
}

template <class Form>
bool AppendLines(RunFileAppender& list, std::span<const Form> forms) noexcept {
  char* const begin = chunk;
  char* out = begin;
  for (const Form& form : forms) {
    if (out + LongestLine > begin + ChunkBytes) {
      if (!list.Append(begin, static_cast<std::size_t>(out - begin))) return false;
      out = begin;
    }
    out = PutLine(out, form);
  }
  return out == begin || list.Append(begin, static_cast<std::size_t>(out - begin));
}

}  // namespace

bool AppendFormLines(RunFileAppender& list, std::span<const ErasedForm> forms) noexcept {
  return AppendLines(list, forms);
}

bool AppendFormLines(RunFileAppender& list, std::span<const KeptForm> forms) noexcept {
  return AppendLines(list, forms);
}
