// Owners for GDI handles: each releases what it holds the way the system
// wants it released (a window's DC is released, a memory DC deleted, a
// bitmap or font deleted, a selection undone), when it goes out of scope or
// is reset, so that no early return and no failed creation leaks one.
// Win32 by nature; used by every platform file that draws.
#pragma once

#include <windows.h>

#include <utility>

// A window's drawing context from GetDC, released with ReleaseDC.
class WindowDC {
public:
  WindowDC() = default;
  explicit WindowDC(HWND window) : window_(window), dc_(window ? GetDC(window) : nullptr) {}
  WindowDC(WindowDC&& other) noexcept { swap(other); }
  WindowDC& operator=(WindowDC&& other) noexcept
  {
    WindowDC(std::move(other)).swap(*this);
    return *this;
  }
  ~WindowDC()
  {
    if (dc_)
      ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

private:
  void swap(WindowDC& other) noexcept
  {
    std::swap(window_, other.window_);
    std::swap(dc_, other.dc_);
  }
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// A memory drawing context from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDC {
public:
  MemoryDC() = default;
  explicit MemoryDC(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
  MemoryDC(MemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  MemoryDC& operator=(MemoryDC&& other) noexcept
  {
    MemoryDC(std::move(other)).swap(*this);
    return *this;
  }
  ~MemoryDC()
  {
    if (dc_)
      DeleteDC(dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

private:
  void swap(MemoryDC& other) noexcept { std::swap(dc_, other.dc_); }
  HDC dc_ = nullptr;
};

// A bitmap, font, region, brush or pen, deleted with DeleteObject. Never owns a stock object.
template <class Handle>
class GdiObject {
public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept
  {
    GdiObject(std::move(other)).swap(*this);
    return *this;
  }
  ~GdiObject()
  {
    if (handle_)
      DeleteObject(handle_);
  }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Hands the object over to a new owner (the clipboard, a caller).
  Handle release() { return std::exchange(handle_, nullptr); }

private:
  void swap(GdiObject& other) noexcept { std::swap(handle_, other.handle_); }
  Handle handle_ = nullptr;
};

using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedFont = GdiObject<HFONT>;
using OwnedRegion = GdiObject<HRGN>;

// An object selected into a DC; the one it replaced goes back in at the end,
// so that the selected object can be deleted afterwards.
class Selection {
public:
  Selection() = default;
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr)
  {
    if (!old_ || old_ == HGDI_ERROR) {
      old_ = nullptr;
      dc_ = nullptr;
    }
  }
  Selection(Selection&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), old_(std::exchange(other.old_, nullptr))
  {
  }
  Selection& operator=(Selection&& other) noexcept
  {
    Selection(std::move(other)).swap(*this);
    return *this;
  }
  ~Selection()
  {
    if (dc_)
      SelectObject(dc_, old_);
  }
  explicit operator bool() const { return dc_ != nullptr; }

private:
  void swap(Selection& other) noexcept
  {
    std::swap(dc_, other.dc_);
    std::swap(old_, other.old_);
  }
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};
