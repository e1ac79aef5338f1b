// Drawing a bitmap onto a device context, and the colour of grayed text.

#include "ovpb32.h"
#include "platform/gdi.h"

extern "C" BOOL OVPB_API DrawBitMap(HDC dc, HBITMAP bitmap, short x, short y, DWORD rasterOperation) {
  HDC memory = platform::CreateCompatibleDC(dc);
  HGDIOBJ before = platform::SelectObject(memory, bitmap);
  platform::SetMapMode(memory, platform::GetMapMode(dc));
  BITMAP facts = {};
  platform::GetObjectA(bitmap, sizeof facts, &facts);
  POINT size = {facts.bmWidth, facts.bmHeight};
  platform::DPtoLP(dc, &size, 1);
  POINT origin = {0, 0};
  platform::DPtoLP(memory, &origin, 1);
  platform::BitBlt(dc, x, y, size.x, size.y, memory, origin.x, origin.y, rasterOperation);
  platform::SelectObject(memory, before);
  return platform::DeleteDC(memory);
}

// Halfway between the window's text and its background, as near as the
// device context can show it.
extern "C" COLORREF OVPB_API ColorGrayText(HDC dc) {
  const DWORD text = platform::GetSysColor(COLOR_WINDOWTEXT);
  const DWORD background = platform::GetSysColor(COLOR_WINDOW);
  auto half = [&](int shift) { return (((text >> shift) & 0xFF) + ((background >> shift) & 0xFF)) >> 1; };
  const COLORREF gray = half(0) | half(8) << 8 | half(16) << 16;
  if (dc != nullptr) return platform::GetNearestColor(dc, gray);
  HDC screen = platform::GetDC(nullptr);
  const COLORREF nearest = platform::GetNearestColor(screen, gray);
  platform::ReleaseDC(nullptr, screen);
  return nearest;
}
