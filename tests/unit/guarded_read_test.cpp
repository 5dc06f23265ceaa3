#include "host/guarded_read.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

extern "C" const unsigned char kscGuardedLoadInstruction[];

namespace {

// `movq (%rcx), %rax`: a resume that runs the faulting load again single-steps to here.
constexpr std::uintptr_t GuardedLoadLength = 3;

std::uint64_t landingsPastTheLoad = 0;
std::uint64_t landingsElsewhere = 0;

// Sits in front of the absorber: arms a single step on each access violation and lets the
// absorber act, then sees where the resumed thread went.
LONG CALLBACK WatchResumes(EXCEPTION_POINTERS* info) {
  CONTEXT* context = info->ContextRecord;
  switch (info->ExceptionRecord->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
      context->EFlags |= 0x100;  // the trap flag
      return EXCEPTION_CONTINUE_SEARCH;
    case EXCEPTION_SINGLE_STEP:
      // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): code address as integer
      (context->Rip == reinterpret_cast<DWORD64>(kscGuardedLoadInstruction) + GuardedLoadLength
           ? landingsPastTheLoad
           : landingsElsewhere)++;
      context->EFlags &= ~DWORD{0x100};
      return EXCEPTION_CONTINUE_EXECUTION;
    default:
      return EXCEPTION_CONTINUE_SEARCH;
  }
}

// Windows with hardware-enforced stack protection resumes a handled fault only at the
// faulting instruction (or a return address): the absorber must never move RIP.
TEST(GuardedRead, AbsorbsAFaultByRunningTheSameLoadAgain) {
  auto* pages = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, 2 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));
  const FaultAbsorberScope absorber;
  ASSERT_TRUE(absorber.Installed());
  void* watcher = AddVectoredExceptionHandler(1, WatchResumes);
  const std::uint64_t faultsBefore = AbsorbedFaultCount();
  // A member on the no-access page; one that straddles into it (the fault is at the page,
  // not at RCX); one at a non-canonical address (a general-protection fault, no address).
  EXPECT_EQ(GuardedReadPointer(pages, 4096), nullptr);
  EXPECT_EQ(GuardedReadPointer(pages, 4096 - 4), nullptr);
  // NOLINTNEXTLINE(*-reinterpret-cast,performance-no-int-to-ptr): a garbage pointer on purpose
  EXPECT_EQ(GuardedReadPointer(reinterpret_cast<void*>(0xDEADBEEFDEADBEEF), 0), nullptr);
  RemoveVectoredExceptionHandler(watcher);
  const std::uint64_t absorbed = AbsorbedFaultCount() - faultsBefore;
  EXPECT_EQ(absorbed, 3U);
  EXPECT_EQ(landingsPastTheLoad, absorbed);
  EXPECT_EQ(landingsElsewhere, 0U);
  VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
