// Reads of engine members that may lie on unreadable memory. A faulting read yields null
// instead of crashing the game; the normal path is one plain load.
#pragma once

#include <cstdint>

// Reads the pointer at object + offset. Null for a null object. While a
// FaultAbsorberScope is alive, an access violation raised by this read yields null.
void* GuardedReadPointer(const void* object, std::uintptr_t offset);

// How many faulting reads have been absorbed so far in this process.
std::uint64_t AbsorbedFaultCount();

// Installs, for its lifetime, the vectored handler that absorbs access violations raised
// by the one load instruction inside GuardedReadPointer; every other exception passes on.
class FaultAbsorberScope {
 public:
  FaultAbsorberScope();
  ~FaultAbsorberScope();
  FaultAbsorberScope(const FaultAbsorberScope&) = delete;
  FaultAbsorberScope& operator=(const FaultAbsorberScope&) = delete;
  FaultAbsorberScope(FaultAbsorberScope&&) = delete;
  FaultAbsorberScope& operator=(FaultAbsorberScope&&) = delete;

  bool Installed() const { return handle_ != nullptr; }

 private:
  void* handle_;
};
