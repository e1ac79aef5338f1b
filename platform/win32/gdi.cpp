#include "platform/gdi.h"

namespace platform {

HDC GetDC(HWND window) { return ::GetDC(window); }
int ReleaseDC(HWND window, HDC dc) { return ::ReleaseDC(window, dc); }
HDC CreateCompatibleDC(HDC dc) { return ::CreateCompatibleDC(dc); }
BOOL DeleteDC(HDC dc) { return ::DeleteDC(dc); }
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  return ::CreateBitmap(width, height, planes, bitsPerPixel, bits);
}
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) { return ::CreateCompatibleBitmap(dc, width, height); }
BOOL DeleteObject(HGDIOBJ object) { return ::DeleteObject(object); }
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) { return ::SelectObject(dc, object); }
int GetObjectA(HGDIOBJ object, int size, void* out) { return ::GetObjectA(object, size, out); }
COLORREF GetPixel(HDC dc, int x, int y) { return ::GetPixel(dc, x, y); }
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) { return ::SetPixel(dc, x, y, colour); }
int GetMapMode(HDC dc) { return ::GetMapMode(dc); }
int SetMapMode(HDC dc, int mode) { return ::SetMapMode(dc, mode); }
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* before) { return ::SetWindowOrgEx(dc, x, y, before); }
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* before) { return ::SetWindowExtEx(dc, x, y, before); }
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* before) { return ::SetViewportOrgEx(dc, x, y, before); }
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* before) { return ::SetViewportExtEx(dc, x, y, before); }
BOOL DPtoLP(HDC dc, POINT* points, int count) { return ::DPtoLP(dc, points, count); }
BOOL LPtoDP(HDC dc, POINT* points, int count) { return ::LPtoDP(dc, points, count); }
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  return ::BitBlt(dest, x, y, width, height, source, sourceX, sourceY, rop);
}
DWORD GetSysColor(int index) { return ::GetSysColor(index); }
COLORREF GetNearestColor(HDC dc, COLORREF colour) { return ::GetNearestColor(dc, colour); }

}  // namespace platform
