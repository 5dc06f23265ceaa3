#include "host/guarded_read.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

extern "C" const unsigned char kscGuardedLoadInstruction[];

// The guarded load's instruction at another address: a load through RCX in one of the game's
// functions that the plugin calls while the absorber is installed.
asm(R"(
    .text
    .globl kscOtherLoadThroughRcx
    .def kscOtherLoadThroughRcx; .scl 2; .type 32; .endef
kscOtherLoadThroughRcx:
    movq (%rcx), %rax
    ret
)");
extern "C" std::uint64_t kscOtherLoadThroughRcx(const void* address);

namespace {

std::uint64_t landingsPastTheLoad = 0, landingsElsewhere = 0;

// In front of the absorber: arms a single step on each access violation, lets the absorber
// act, then sees where the resumed thread went. Running the load again (`movq (%rcx), %rax`,
// 3 bytes) lands just past it.
LONG CALLBACK WatchResumes(EXCEPTION_POINTERS* info) {
  CONTEXT* context = info->ContextRecord;
  if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
    context->EFlags |= 0x100;  // the trap flag
    return EXCEPTION_CONTINUE_SEARCH;
  }
  if (info->ExceptionRecord->ExceptionCode != EXCEPTION_SINGLE_STEP)
    return EXCEPTION_CONTINUE_SEARCH;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): code address as integer
  const bool pastTheLoad = context->Rip == reinterpret_cast<DWORD64>(kscGuardedLoadInstruction) + 3;
  ++(pastTheLoad ? landingsPastTheLoad : landingsElsewhere);
  context->EFlags &= ~DWORD{0x100};
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Windows with hardware-enforced stack protection resumes a handled fault only at the
// faulting instruction (or a return address): the absorber must never move RIP.
TEST(GuardedRead, AbsorbsAFaultByRunningTheSameLoadAgain) {
  auto* pages = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, 2 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD old = 0;
  ASSERT_TRUE(pages != nullptr && VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));
  const FaultAbsorberScope absorber;
  void* watcher = AddVectoredExceptionHandler(1, WatchResumes);
  const std::uint64_t faultsBefore = AbsorbedFaultCount();
  // A member on the no-access page; one that straddles into it (the fault is at the page,
  // not at RCX); one at a non-canonical address (a general-protection fault, no address).
  EXPECT_EQ(GuardedReadPointer(pages, 4096), nullptr);
  EXPECT_EQ(GuardedReadPointer(pages, 4096 - 4), nullptr);
  // NOLINTNEXTLINE(*-reinterpret-cast,performance-no-int-to-ptr): a garbage pointer on purpose
  EXPECT_EQ(GuardedReadPointer(reinterpret_cast<void*>(0xDEADBEEFDEADBEEF), 0), nullptr);
  RemoveVectoredExceptionHandler(watcher);
  EXPECT_EQ(AbsorbedFaultCount() - faultsBefore, 3U);
  EXPECT_EQ(landingsPastTheLoad, 3U);
  EXPECT_EQ(landingsElsewhere, 0U);
}

// Behind the absorber: counts the access violations passed on to it and points RCX at a
// readable word, so that the faulting load runs again and reads it.
const std::uint64_t readableWord = 0x5EED;
std::uint64_t faultsPassedOn = 0;

LONG CALLBACK CatchPassedOnFaults(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
    return EXCEPTION_CONTINUE_SEARCH;
  ++faultsPassedOn;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): a data address as integer
  info->ContextRecord->Rcx = reinterpret_cast<DWORD64>(&readableWord);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The address alone is no proof: a fault whose address lies in [RCX, RCX + 8) at any other
// instruction is the game's own, and must reach the next handler unabsorbed.
TEST(GuardedRead, PassesOnAFaultThroughRcxAtAnyOtherInstruction) {
  void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(page, nullptr);
  const FaultAbsorberScope absorber;
  void* catcher = AddVectoredExceptionHandler(0, CatchPassedOnFaults);
  const std::uint64_t absorbedBefore = AbsorbedFaultCount();
  const std::uint64_t read = kscOtherLoadThroughRcx(page);
  RemoveVectoredExceptionHandler(catcher);
  VirtualFree(page, 0, MEM_RELEASE);
  EXPECT_EQ(faultsPassedOn, 1U);
  EXPECT_EQ(read, readableWord);
  EXPECT_EQ(AbsorbedFaultCount(), absorbedBefore);
}

}  // namespace
