#pragma once
// Owners of GDI objects: each is deleted once, when its owner goes.

#include <windows.h>

#include <string_view>
#include <utility>

namespace tarnvel::win32 {

template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

/// A device-dependent bitmap made from the bytes of a .bmp file; empty when
/// the bytes are no bitmap this program can show.
Bitmap BitmapFromFile(std::string_view bytes);

/// Draws Picture centred in Area of Dc, leaving out the pixels of the
/// colour of its bottom-left pixel (its background).
void DrawTransparentCentred(HDC dc, HBITMAP picture, const RECT& area);

}  // namespace tarnvel::win32
