#include "frontends/win32/busy_animation.h"

#include <cmath>
#include <numbers>

#include "frontends/win32/gdi_objects.h"

namespace tarnvel::win32 {
namespace {

constexpr int kFrames = 8;
constexpr UINT_PTR kTimer = 1;
constexpr UINT kFrameMs = 125;

void Rect(HDC dc, int left, int top, int right, int bottom, COLORREF fill) {
  Brush brush(CreateSolidBrush(fill));
  HGDIOBJ old = SelectObject(dc, brush.Get());
  Rectangle(dc, left, top, right, bottom);
  SelectObject(dc, old);
}

void Paint(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  GdiObject<HPEN> outline(CreatePen(PS_SOLID, 1, RGB(64, 64, 64)));
  HGDIOBJ oldPen = SelectObject(dc, outline.Get());
  // A small monitor on its stand.
  Rect(dc, 6, 8, 31, 27, RGB(200, 200, 200));
  Rect(dc, 9, 11, 28, 24, RGB(0, 96, 160));
  Rect(dc, 14, 26, 23, 30, RGB(160, 160, 160));
  Rect(dc, 10, 29, 27, 33, RGB(160, 160, 160));
  // The glass circles over the screen, one eighth of a turn per frame.
  const double angle = 2 * std::numbers::pi * GetWindowLongPtrW(window, GWLP_USERDATA) / kFrames;
  const int cx = static_cast<int>(std::lround(18.5 + 7 * std::cos(angle)));
  const int cy = static_cast<int>(std::lround(17.5 + 5 * std::sin(angle)));
  GdiObject<HPEN> handle(CreatePen(PS_SOLID, 3, RGB(90, 60, 20)));
  SelectObject(dc, handle.Get());
  MoveToEx(dc, cx + 4, cy + 4, nullptr);
  LineTo(dc, cx + 10, cy + 10);
  GdiObject<HPEN> rim(CreatePen(PS_SOLID, 2, RGB(40, 40, 40)));
  SelectObject(dc, rim.Get());
  Brush glass(CreateSolidBrush(RGB(220, 240, 255)));
  HGDIOBJ oldBrush = SelectObject(dc, glass.Get());
  Ellipse(dc, cx - 6, cy - 6, cx + 7, cy + 7);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

LRESULT CALLBACK AnimationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer) {
        SetWindowLongPtrW(window, GWLP_USERDATA, (GetWindowLongPtrW(window, GWLP_USERDATA) + 1) % kFrames);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      Paint(window, dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      KillTimer(window, kTimer);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

void RegisterBusyAnimationClass(HINSTANCE instance) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = AnimationProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.lpszClassName = kBusyAnimationClass;
  RegisterClassExW(&cls);
}

void StartBusyAnimation(HWND animation) {
  SetWindowLongPtrW(animation, GWLP_USERDATA, 0);
  SetTimer(animation, kTimer, kFrameMs, nullptr);
  InvalidateRect(animation, nullptr, FALSE);
}

void StopBusyAnimation(HWND animation) {
  KillTimer(animation, kTimer);
}

int BusyAnimationFrame(HWND animation) {
  return static_cast<int>(GetWindowLongPtrW(animation, GWLP_USERDATA));
}

}  // namespace tarnvel::win32
