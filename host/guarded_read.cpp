#include "host/guarded_read.h"

#include <windows.h>

#include <atomic>

// The load lives at a known instruction address so that the handler can recognise its
// fault exactly and resume at the fix-up, which returns null.
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
    .globl kscGuardedLoadFixup
kscGuardedLoadFixup:
    xorl %eax, %eax
    ret
)");

extern "C" void* kscGuardedLoad(const void* address);
extern "C" const unsigned char kscGuardedLoadInstruction[];
extern "C" const unsigned char kscGuardedLoadFixup[];

namespace {

std::atomic<std::uint64_t> absorbedFaults{0};

LONG CALLBACK AbsorbGuardedLoadFault(EXCEPTION_POINTERS* info) {
  CONTEXT* context = info->ContextRecord;
  // The handler compares and sets instruction addresses: code addresses as integers.
  // NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast)
  if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION &&
      context->Rip == reinterpret_cast<DWORD64>(kscGuardedLoadInstruction)) {
    context->Rip = reinterpret_cast<DWORD64>(kscGuardedLoadFixup);
    // NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast)
    absorbedFaults.fetch_add(1, std::memory_order_relaxed);
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  return EXCEPTION_CONTINUE_SEARCH;
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
