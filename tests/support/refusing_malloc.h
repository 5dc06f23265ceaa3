// Makes allocations of this test program fail on demand, through its own import table: the
// product's code is linked into the program, so its malloc is the program's msvcrt import.
#pragma once

#include <cstddef>
#include <memory>

class ImportPatch;

namespace testing_support {

// One at a time. While it lives, `malloc` of this program goes through it.
class RefusingMalloc {
 public:
  RefusingMalloc();
  ~RefusingMalloc();
  RefusingMalloc(const RefusingMalloc&) = delete;
  RefusingMalloc& operator=(const RefusingMalloc&) = delete;

  bool Patched() const;
  // The next `count` allocations (of at least `atLeast` bytes) fail.
  static void RefuseNext(int count, std::size_t atLeast = 0);
  // Allocations succeed again (also from inside a patched Windows call).
  static void Stop() { RefuseNext(0); }

 private:
  std::unique_ptr<ImportPatch> patch_;
};

}  // namespace testing_support
