// One walk over the game's FormTable, under the game's lock, that erases the run-time
// 'K', 'J' and 'V' forms no exemption protects.
#pragma once

#include <cstdint>

#include "host/engine.h"

// True when the walk ran to its end; false when a precondition failed and nothing was erased.
bool RunCleaningPass();

// True for a form the game created at run time (FormId top byte 0xFF); false for null.
bool IsRuntimeForm(const GameForm* form);

// Entries of the form's attached list (kind 0x80) whose item and namer are both set.
std::uint32_t CountAttachedItems(const GameForm* form);

// Takes the game's FormTable lock now and releases it exactly once, on every exit.
class FormTableLockGuard {
 public:
  explicit FormTableLockGuard(void* lock);
  ~FormTableLockGuard();
  FormTableLockGuard(const FormTableLockGuard&) = delete;
  FormTableLockGuard& operator=(const FormTableLockGuard&) = delete;

 private:
  void* lock_;
};
