#include "host/guarded_read.h"

#include <windows.h>

#include <atomic>

// The load lives at a known instruction address so that the handler can recognise its
// fault exactly. RCX is the contract between the two: it holds the address this instruction
// reads, and the handler absorbs a fault by pointing RCX at a zero word and letting the same
// instruction run again, which then loads null. The instruction pointer must stay where it
// is: under hardware-enforced stack protection Windows resumes a vectored handler's context
// only at the faulting instruction or at a return address on the shadow stack.
asm(R"(
    .text
    .p2align 4
    .globl kscGuardedLoad
    .def kscGuardedLoad; .scl 2; .type 32; .endef
kscGuardedLoad:
    .globl kscGuardedLoadInstruction
kscGuardedLoadInstruction:
    movq (%rcx), %rax
    ret
)");

extern "C" void* kscGuardedLoad(const void* address);
extern "C" const unsigned char kscGuardedLoadInstruction[];

namespace {

std::atomic<std::uint64_t> absorbedFaults{0};

// What a faulting guarded load reads instead: readable, null, the plugin's own.
constinit const std::uint64_t NullWord = 0;

constexpr ULONG_PTR ReadAccess = 0;
// What a general-protection fault reports as the faulting address (a non-canonical RCX).
constexpr ULONG_PTR UnknownAddress = ~ULONG_PTR{0};
constexpr ULONG_PTR LoadWidth = sizeof(void*);

// The fault is the load's own read of [RCX, RCX + 8): at its start, past a page boundary
// inside it, or at an address the processor could not form.
bool IsFaultOfTheLoad(const EXCEPTION_RECORD& record, DWORD64 rcx) {
  if (record.NumberParameters < 2 || record.ExceptionInformation[0] != ReadAccess) return false;
  const ULONG_PTR address = record.ExceptionInformation[1];
  return address == UnknownAddress || (address >= rcx && address - rcx < LoadWidth);
}

LONG CALLBACK AbsorbGuardedLoadFault(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  CONTEXT* context = info->ContextRecord;
  // The handler compares instruction and data addresses as integers.
  // NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast)
  const auto nullWord = reinterpret_cast<DWORD64>(&NullWord);
  // RCX already at the null word: the retry itself faulted, so pass it on rather than loop
  // with the game's table lock held.
  if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION ||
      context->Rip != reinterpret_cast<DWORD64>(kscGuardedLoadInstruction) ||
      context->Rcx == nullWord || !IsFaultOfTheLoad(record, context->Rcx)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  // NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast)
  context->Rcx = nullWord;  // RIP stays: the load runs again and reads null
  absorbedFaults.fetch_add(1, std::memory_order_relaxed);
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void* GuardedReadPointer(const void* object, std::uintptr_t offset) {
  if (object == nullptr) return nullptr;
  return kscGuardedLoad(static_cast<const unsigned char*>(object) + offset);
}

std::uint64_t AbsorbedFaultCount() {
  return absorbedFaults.load(std::memory_order_relaxed);
}

FaultAbsorberScope::FaultAbsorberScope()
    : handle_(AddVectoredExceptionHandler(1, AbsorbGuardedLoadFault)) {}

FaultAbsorberScope::~FaultAbsorberScope() {
  if (handle_ != nullptr) RemoveVectoredExceptionHandler(handle_);
}
