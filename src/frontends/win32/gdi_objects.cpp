#include "frontends/win32/gdi_objects.h"

#include <cstring>

namespace tarnvel::win32 {

Bitmap BitmapFromFile(std::string_view bytes) {
  BITMAPFILEHEADER file{};
  if (bytes.size() < sizeof file + sizeof(BITMAPINFOHEADER)) return Bitmap();
  std::memcpy(&file, bytes.data(), sizeof file);
  if (file.bfType != 0x4D42 || file.bfOffBits >= bytes.size()) return Bitmap();
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof file);
  const BITMAPINFOHEADER& header = info->bmiHeader;
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0 ||
      header.biWidth > 4096 || header.biHeight > 4096 || header.biHeight < -4096) {
    return Bitmap();
  }
  const long long rowBytes = ((static_cast<long long>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  const long long height = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
  if (file.bfOffBits + rowBytes * height > static_cast<long long>(bytes.size())) return Bitmap();
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap =
      CreateDIBitmap(screen, &header, CBM_INIT, bytes.data() + file.bfOffBits, info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return Bitmap(bitmap);
}

void DrawTransparentCentred(HDC dc, HBITMAP picture, const RECT& area) {
  if (picture == nullptr) return;
  BITMAP info{};
  GetObjectW(picture, sizeof info, &info);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, picture);
  const COLORREF background = GetPixel(source, 0, info.bmHeight - 1);
  const int x = area.left + (area.right - area.left - info.bmWidth) / 2;
  const int y = area.top + (area.bottom - area.top - info.bmHeight) / 2;
  TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth, info.bmHeight,
                 background);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace tarnvel::win32
