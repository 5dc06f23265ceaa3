// The game's FormTable lock, held for a whole cleaning walk.
#pragma once

#include <cstdint>

// Takes the lock now and releases it, with the same address, exactly once on every exit,
// normal or by an exception. How long it was held, in performance-counter ticks, goes to
// `heldTicks` when it is released.
class FormTableLockGuard {
 public:
  FormTableLockGuard(void* lock, std::int64_t& heldTicks);
  ~FormTableLockGuard();
  FormTableLockGuard(const FormTableLockGuard&) = delete;
  FormTableLockGuard& operator=(const FormTableLockGuard&) = delete;
  FormTableLockGuard(FormTableLockGuard&&) = delete;
  FormTableLockGuard& operator=(FormTableLockGuard&&) = delete;

 private:
  void* lock_;
  std::int64_t& heldTicks_;
  std::int64_t lockedAt_;
};
