#include "cleaner/form_table_lock.h"

#include <windows.h>

#include "host/engine.h"

namespace {

std::int64_t Now() {
  LARGE_INTEGER ticks;
  QueryPerformanceCounter(&ticks);
  return ticks.QuadPart;
}

}  // namespace

FormTableLockGuard::FormTableLockGuard(void* lock, std::int64_t& heldTicks)
    : lock_(lock), heldTicks_(heldTicks) {
  LockFormTable(lock_);
  lockedAt_ = Now();  // NOLINT(cppcoreguidelines-prefer-member-initializer): once locked
}

FormTableLockGuard::~FormTableLockGuard() {
  heldTicks_ = Now() - lockedAt_;
  UnlockFormTable(lock_);
}
