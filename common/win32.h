// The one place that includes <windows.h>, with the settings every Windows
// source of the tools wants, and the small owners that make each path release
// what it took.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>

/// Closes a kernel handle when it goes out of scope. Null and
/// INVALID_HANDLE_VALUE are both "nothing held".
struct OwnedHandle {
  HANDLE handle;
  explicit OwnedHandle(HANDLE h = nullptr) : handle(h) {}
  ~OwnedHandle() { Close(); }
  OwnedHandle(const OwnedHandle &) = delete;
  OwnedHandle &operator=(const OwnedHandle &) = delete;
  bool Valid() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  void Close() {
    if (Valid()) CloseHandle(handle);
    handle = nullptr;
  }
};

/// Unmaps a view of a file mapping when it goes out of scope.
struct MappedView {
  void *data;
  explicit MappedView(void *view) : data(view) {}
  ~MappedView() {
    if (data) UnmapViewOfFile(data);
  }
  MappedView(const MappedView &) = delete;
  MappedView &operator=(const MappedView &) = delete;
};

/// A window handle from its 32-bit value, widened the way Windows widens
/// handles passed between 32-bit and 64-bit processes (sign extension).
inline HWND WindowFromValue(uint32_t value) {
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

/// The 32-bit value of a window handle, as it travels in messages and names.
inline uint32_t WindowValue(HWND window) {
  return static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(window));
}
