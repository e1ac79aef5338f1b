// Drawing: device contexts, bitmaps, mapping modes and block transfers, and
// the system colours.
#pragma once

#include "platform/types.h"

namespace platform {

// The screen's device context for a null window (no other window exists
// here); release it with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// A memory device context like `dc` (the screen's for null), holding a
// one-pixel monochrome bitmap until another is selected.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
BOOL DeleteObject(HGDIOBJ object);
// Selects a bitmap into a memory device context: the one before, or null.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
int GetObjectA(HGDIOBJ object, int size, void* out);

COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);

int GetMapMode(HDC dc);
int SetMapMode(HDC dc, int mode);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* before);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* before);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* before);
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* before);
BOOL DPtoLP(HDC dc, POINT* points, int count);
BOOL LPtoDP(HDC dc, POINT* points, int count);

// The ternary raster operation `rop` (its index in bits 16-23) of the
// brush, the source and the destination.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);

DWORD GetSysColor(int index);
COLORREF GetNearestColor(HDC dc, COLORREF colour);

}  // namespace platform
