#include "cleaner/form_table_lock.h"

#include "host/engine.h"

FormTableLockGuard::FormTableLockGuard(void* lock) : lock_(lock) {
  LockFormTable(lock_);
}

FormTableLockGuard::~FormTableLockGuard() {
  UnlockFormTable(lock_);
}
