#include "report/erased_list.h"

#include <iterator>

#include "report/form_id_text.h"

namespace {

// A few hundred kilobytes a write: the first pass of a large save erases some hundred
// thousand forms. Static, so that writing allocates nothing; only the load-game thread writes.
constexpr std::size_t ChunkBytes = std::size_t{256} * 1024;
constexpr std::size_t LongestLine = 32;
char chunk[ChunkBytes];

constexpr const char* KindTexts[] = {" K\r\n", " J\r\n", " V\r\n"};
constexpr const char* OutpostText = " V outpost\r\n";
static_assert(std::size(KindTexts) == ErasedTypeCount, "a kind for every erased type");

char* PutText(char* out, const char* text) {
  for (; *text != '\0'; ++text) *out++ = *text;
  return out;
}

}  // namespace

bool AppendErasedForms(RunFileAppender& list, std::span<const ErasedForm> forms) noexcept {
  char* const begin = chunk;
  char* out = begin;
  for (const ErasedForm& form : forms) {
    if (out + LongestLine > begin + ChunkBytes) {
      if (!list.Append(begin, static_cast<std::size_t>(out - begin))) return false;
      out = begin;
    }
    out = PutFormId(out, form.formId);
    out = PutText(out, form.outpost ? OutpostText : KindTexts[static_cast<std::size_t>(form.type)]);
  }
  return out == begin || list.Append(begin, static_cast<std::size_t>(out - begin));
}
