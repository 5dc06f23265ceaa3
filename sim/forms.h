// The simulated game's forms: each carries a virtual table of its type (slot 34 answers the
// type code, every other slot reports an unexpected call) and its FormId; LookupFormById
// answers from the registry kept here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// A form of `bytes` bytes (or faulting from `faultAt` on, when non-zero).
unsigned char* NewForm(std::uint32_t formId, std::uint8_t type, std::size_t bytes,
                       std::size_t faultAt = 0);

// The type code the form's virtual table answers.
std::uint8_t FormTypeAt(const void* form);

void RegisterForLookup(std::uint32_t formId, void* form);
// The registered form, or null.
void* RegisteredForm(std::uint32_t formId);

// Forgets every form registered or recorded so far.
void ForgetAllForms();

// The record of every form built while recording is on, for the run summary.
struct FormRecord {
  void* form;
  std::uint8_t type;
  std::string note;
};
const std::vector<FormRecord>& RecordedForms();
void SetFormNote(void* form, const char* note);
// Benchmarks build millions of forms: they switch the record off.
void SetRecordForms(bool on);

}  // namespace sim
