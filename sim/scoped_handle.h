// Owners that close what they hold exactly once, on every path: a Win32 handle, a C file.
#pragma once

#include <windows.h>

#include <cstdio>
#include <utility>

namespace sim {

class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  HANDLE Get() const { return handle_; }
  // For APIs that fill in a handle: closes the current one first.
  HANDLE* Receive() {
    Close();
    return &handle_;
  }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (Valid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

class ScopedFile {
 public:
  explicit ScopedFile(FILE* file) : file_(file) {}
  ~ScopedFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  FILE* Get() const { return file_; }
  explicit operator bool() const { return file_ != nullptr; }
  // Closes now and reports whether everything written reached the file.
  bool Close() { return std::fclose(std::exchange(file_, nullptr)) == 0; }

 private:
  FILE* file_;
};

}  // namespace sim
