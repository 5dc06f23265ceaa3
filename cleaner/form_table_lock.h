// The game's FormTable lock, held for a whole cleaning walk.
#pragma once

// Takes the lock now and releases it, with the same address, exactly once on every exit,
// normal or by an exception.
class FormTableLockGuard {
 public:
  explicit FormTableLockGuard(void* lock);
  ~FormTableLockGuard();
  FormTableLockGuard(const FormTableLockGuard&) = delete;
  FormTableLockGuard& operator=(const FormTableLockGuard&) = delete;

 private:
  void* lock_;
};
