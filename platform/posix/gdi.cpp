// Device contexts and bitmaps on an in-memory raster. The screen is a
// 32-bit raster; memory contexts hold bitmaps of 1 or 32 bits per pixel.
// Handles are checked against the live objects, so an unknown one is
// refused rather than followed.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <vector>

#include "platform/gdi.h"
#include "platform/system.h"

namespace platform {
namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr uint32_t kWhite = 0xFFFFFF;

// Pixels: 0x00RRGGBB for 32 bits (as a DIB stores them), 0 or 1 for 1 bit.
struct Bitmap {
  int width;
  int height;
  int bitsPerPixel;
  std::vector<uint32_t> pixels;
  struct DeviceContext* selectedIn = nullptr;
};

struct DeviceContext {
  Bitmap* surface;
  Bitmap* ownBitmap;  // the stock one-pixel bitmap of a memory context
  bool memory;
  int mapMode = MM_TEXT;
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
};

std::mutex& GdiLock() {
  static std::mutex lock;
  return lock;
}
std::set<void*>& LiveObjects() {
  static std::set<void*> live;
  return live;
}

Bitmap& Screen() {
  static Bitmap* screen =
      new Bitmap{kScreenWidth, kScreenHeight, 32, std::vector<uint32_t>(kScreenWidth * kScreenHeight, kWhite)};
  return *screen;
}

DeviceContext* ContextOf(HDC dc) {
  if (dc == nullptr || LiveObjects().count(dc) == 0) return nullptr;
  return reinterpret_cast<DeviceContext*>(dc);
}

// Bitmap handles are the address of the Bitmap plus one, so that no handle
// can be taken for a device context.
Bitmap* BitmapOf(HGDIOBJ object) {
  if (object == nullptr || LiveObjects().count(object) == 0 || (reinterpret_cast<uintptr_t>(object) & 1) == 0) {
    return nullptr;
  }
  return reinterpret_cast<Bitmap*>(reinterpret_cast<uintptr_t>(object) - 1);
}
HGDIOBJ HandleOf(Bitmap* bitmap) { return reinterpret_cast<HGDIOBJ>(reinterpret_cast<uintptr_t>(bitmap) + 1); }

HBITMAP NewBitmap(int width, int height, int bitsPerPixel) {
  if (width <= 0 || height <= 0 || (bitsPerPixel != 1 && bitsPerPixel != 32) || width > 0x4000 || height > 0x4000) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* bitmap = new (std::nothrow) Bitmap{width, height, bitsPerPixel, {}};
  if (bitmap == nullptr) return nullptr;
  bitmap->pixels.assign(static_cast<size_t>(width) * height, 0);
  LiveObjects().insert(HandleOf(bitmap));
  return reinterpret_cast<HBITMAP>(HandleOf(bitmap));
}

// MulDiv's rounding: to the nearest, halves away from zero.
LONG Scale(LONG value, LONG numerator, LONG denominator) {
  if (denominator == 0) return value;
  return static_cast<LONG>(std::llround(static_cast<double>(value) * numerator / denominator));
}

POINT ToDevice(const DeviceContext& dc, POINT p) {
  return POINT{Scale(p.x - dc.windowOrg.x, dc.viewportExt.cx, dc.windowExt.cx) + dc.viewportOrg.x,
               Scale(p.y - dc.windowOrg.y, dc.viewportExt.cy, dc.windowExt.cy) + dc.viewportOrg.y};
}

POINT ToLogical(const DeviceContext& dc, POINT p) {
  return POINT{Scale(p.x - dc.viewportOrg.x, dc.windowExt.cx, dc.viewportExt.cx) + dc.windowOrg.x,
               Scale(p.y - dc.viewportOrg.y, dc.windowExt.cy, dc.viewportExt.cy) + dc.windowOrg.y};
}

// An isotropic mapping keeps one unit square: the larger viewport extent
// shrinks to the other's scale, keeping its sign.
void KeepIsotropic(DeviceContext& dc) {
  if (dc.mapMode != MM_ISOTROPIC || dc.windowExt.cx == 0 || dc.windowExt.cy == 0) return;
  const double xScale = std::fabs(static_cast<double>(dc.viewportExt.cx) / dc.windowExt.cx);
  const double yScale = std::fabs(static_cast<double>(dc.viewportExt.cy) / dc.windowExt.cy);
  if (xScale > yScale) {
    LONG shrunk = Scale(std::abs(dc.windowExt.cx), std::abs(dc.viewportExt.cy), std::abs(dc.windowExt.cy));
    dc.viewportExt.cx = dc.viewportExt.cx < 0 ? -shrunk : shrunk;
  } else if (yScale > xScale) {
    LONG shrunk = Scale(std::abs(dc.windowExt.cy), std::abs(dc.viewportExt.cx), std::abs(dc.windowExt.cx));
    dc.viewportExt.cy = dc.viewportExt.cy < 0 ? -shrunk : shrunk;
  }
}

uint32_t ToColourRef(uint32_t rgb) { return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16; }

// A pixel as the destination's format sees it: monochrome 0 is the text
// colour (black) and 1 the background (white); a colour is 1 when it is the
// background colour.
uint32_t AsFormat(uint32_t value, int fromBits, int toBits) {
  if (fromBits == toBits) return value;
  if (toBits == 32) return value != 0 ? kWhite : 0;
  return value == kWhite ? 1 : 0;
}

// The raster operation on every bit at once: each of the 8 index bits adds
// the bits where brush, source and destination take its combination.
uint32_t Ternary(unsigned index, uint32_t brush, uint32_t source, uint32_t dest) {
  uint32_t result = 0;
  for (unsigned combination = 0; combination < 8; ++combination) {
    if ((index >> combination & 1) == 0) continue;
    result |= ((combination & 4) ? brush : ~brush) & ((combination & 2) ? source : ~source) &
              ((combination & 1) ? dest : ~dest);
  }
  return result;
}

bool UsesSource(unsigned index) { return ((index >> 2) ^ index) & 0x33; }

}  // namespace

HDC GetDC(HWND window) {
  if (window != nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);  // there are no windows here
    return nullptr;
  }
  std::lock_guard<std::mutex> hold(GdiLock());
  auto* dc = new (std::nothrow) DeviceContext{&Screen(), nullptr, false};
  if (dc != nullptr) LiveObjects().insert(dc);
  return reinterpret_cast<HDC>(dc);
}

int ReleaseDC(HWND window, HDC dc) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (window != nullptr || context == nullptr || context->memory) return 0;
  LiveObjects().erase(dc);
  delete context;
  return 1;
}

HDC CreateCompatibleDC(HDC dc) {
  std::lock_guard<std::mutex> hold(GdiLock());
  if (dc != nullptr && ContextOf(dc) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto* stock = new (std::nothrow) Bitmap{1, 1, 1, std::vector<uint32_t>(1, 0)};
  auto* context = stock == nullptr ? nullptr : new (std::nothrow) DeviceContext{stock, stock, true};
  if (context == nullptr) {
    delete stock;
    return nullptr;
  }
  stock->selectedIn = context;
  LiveObjects().insert(context);
  return reinterpret_cast<HDC>(context);
}

BOOL DeleteDC(HDC dc) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr) return FALSE;
  if (context->surface != nullptr && context->surface->selectedIn == context) context->surface->selectedIn = nullptr;
  delete context->ownBitmap;
  LiveObjects().erase(dc);
  delete context;
  return TRUE;
}

// CreateBitmap's rows are padded to 16 bits; a monochrome row's first pixel
// is the top bit of its first byte, a 32-bit pixel is B, G, R, unused.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  std::lock_guard<std::mutex> hold(GdiLock());
  if (planes != 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HBITMAP handle = NewBitmap(width, height, static_cast<int>(bitsPerPixel));
  if (handle == nullptr || bits == nullptr) return handle;
  Bitmap* bitmap = BitmapOf(handle);
  const auto* bytes = static_cast<const unsigned char*>(bits);
  const size_t rowBytes = (static_cast<size_t>(width) * bitsPerPixel + 15) / 16 * 2;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = bytes + rowBytes * y;
    for (int x = 0; x < width; ++x) {
      uint32_t& pixel = bitmap->pixels[static_cast<size_t>(y) * width + x];
      if (bitsPerPixel == 1) {
        pixel = row[x / 8] >> (7 - x % 8) & 1;
      } else {
        pixel = row[4 * x] | row[4 * x + 1] << 8 | static_cast<uint32_t>(row[4 * x + 2]) << 16;
      }
    }
  }
  return handle;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return NewBitmap(width, height, context->surface->bitsPerPixel);
}

BOOL DeleteObject(HGDIOBJ object) {
  std::lock_guard<std::mutex> hold(GdiLock());
  Bitmap* bitmap = BitmapOf(object);
  if (bitmap == nullptr || bitmap->selectedIn != nullptr) return FALSE;  // a selected bitmap stays
  LiveObjects().erase(object);
  delete bitmap;
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  Bitmap* bitmap = BitmapOf(object);
  if (context != nullptr && context->ownBitmap != nullptr && object == HandleOf(context->ownBitmap)) {
    bitmap = context->ownBitmap;  // the stock bitmap selected back
  }
  if (context == nullptr || !context->memory || bitmap == nullptr ||
      (bitmap->selectedIn != nullptr && bitmap->selectedIn != context)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  Bitmap* before = context->surface;
  before->selectedIn = nullptr;
  bitmap->selectedIn = context;
  context->surface = bitmap;
  return HandleOf(before);
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
  std::lock_guard<std::mutex> hold(GdiLock());
  Bitmap* bitmap = BitmapOf(object);
  if (bitmap == nullptr) return 0;
  if (out == nullptr) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP facts = {};
  facts.bmWidth = bitmap->width;
  facts.bmHeight = bitmap->height;
  facts.bmWidthBytes = (bitmap->width * bitmap->bitsPerPixel + 15) / 16 * 2;
  facts.bmPlanes = 1;
  facts.bmBitsPixel = static_cast<WORD>(bitmap->bitsPerPixel);
  std::memcpy(out, &facts, sizeof facts);
  return sizeof(BITMAP);
}

COLORREF GetPixel(HDC dc, int x, int y) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr) return CLR_INVALID;
  const POINT at = ToDevice(*context, POINT{x, y});
  const Bitmap& surface = *context->surface;
  if (at.x < 0 || at.y < 0 || at.x >= surface.width || at.y >= surface.height) return CLR_INVALID;
  return ToColourRef(AsFormat(surface.pixels[static_cast<size_t>(at.y) * surface.width + at.x], surface.bitsPerPixel, 32));
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr) return CLR_INVALID;
  const POINT at = ToDevice(*context, POINT{x, y});
  Bitmap& surface = *context->surface;
  if (at.x < 0 || at.y < 0 || at.x >= surface.width || at.y >= surface.height) return CLR_INVALID;
  const uint32_t rgb = ToColourRef(colour & 0xFFFFFF);
  uint32_t& pixel = surface.pixels[static_cast<size_t>(at.y) * surface.width + at.x];
  pixel = surface.bitsPerPixel == 1 ? (rgb == kWhite ? 1 : 0) : rgb;
  return ToColourRef(AsFormat(pixel, surface.bitsPerPixel, 32));
}

int GetMapMode(HDC dc) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  return context == nullptr ? 0 : context->mapMode;
}

// The text and the two free mappings; the metric modes are not offered.
int SetMapMode(HDC dc, int mode) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr || (mode != MM_TEXT && mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC)) return 0;
  const int before = context->mapMode;
  context->mapMode = mode;
  if (mode == MM_TEXT) {
    context->windowExt = SIZE{1, 1};
    context->viewportExt = SIZE{1, 1};
  }
  KeepIsotropic(*context);
  return before;
}

namespace {

template <typename Value, typename Field>
BOOL SetPair(HDC dc, int x, int y, Value* before, Field field, bool extent) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr) return FALSE;
  Value& value = context->*field;
  if (before != nullptr) *before = value;
  if (extent && context->mapMode != MM_ISOTROPIC && context->mapMode != MM_ANISOTROPIC) return TRUE;  // fixed
  if (extent && (x == 0 || y == 0)) return FALSE;
  value = Value{x, y};
  KeepIsotropic(*context);
  return TRUE;
}

template <typename Convert>
BOOL ConvertPoints(HDC dc, POINT* points, int count, Convert convert) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr || (points == nullptr && count > 0)) return FALSE;
  for (int i = 0; i < count; ++i) points[i] = convert(*context, points[i]);
  return TRUE;
}

}  // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* before) {
  return SetPair(dc, x, y, before, &DeviceContext::windowOrg, false);
}
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* before) {
  return SetPair(dc, x, y, before, &DeviceContext::windowExt, true);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* before) {
  return SetPair(dc, x, y, before, &DeviceContext::viewportOrg, false);
}
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* before) {
  return SetPair(dc, x, y, before, &DeviceContext::viewportExt, true);
}
BOOL DPtoLP(HDC dc, POINT* points, int count) { return ConvertPoints(dc, points, count, ToLogical); }
BOOL LPtoDP(HDC dc, POINT* points, int count) { return ConvertPoints(dc, points, count, ToDevice); }

// The brush is the stock white brush every context starts with. Rectangles
// of different device sizes stretch by repeating or dropping pixels; pixels
// outside either raster are skipped.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* to = ContextOf(dest);
  DeviceContext* from = ContextOf(source);
  const unsigned index = rop >> 16 & 0xFF;
  if (to == nullptr || (UsesSource(index) && from == nullptr)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const POINT d0 = ToDevice(*to, POINT{x, y}), d1 = ToDevice(*to, POINT{x + width, y + height});
  POINT s0{0, 0}, s1{0, 0};
  if (from != nullptr) {
    s0 = ToDevice(*from, POINT{sourceX, sourceY});
    s1 = ToDevice(*from, POINT{sourceX + width, sourceY + height});
  }
  Bitmap& target = *to->surface;
  const int destWidth = d1.x - d0.x, destHeight = d1.y - d0.y;
  if (destWidth == 0 || destHeight == 0) return TRUE;
  const uint32_t brush = target.bitsPerPixel == 1 ? 0xFFFFFFFFu : kWhite;
  for (int row = 0; row < std::abs(destHeight); ++row) {
    const int dy = destHeight > 0 ? d0.y + row : d0.y - 1 - row;
    if (dy < 0 || dy >= target.height) continue;
    for (int column = 0; column < std::abs(destWidth); ++column) {
      const int dx = destWidth > 0 ? d0.x + column : d0.x - 1 - column;
      if (dx < 0 || dx >= target.width) continue;
      uint32_t sourceValue = 0;
      if (from != nullptr) {
        const Bitmap& origin = *from->surface;
        const int sx = s0.x + static_cast<int>(static_cast<long long>(column) * (s1.x - s0.x) / std::abs(destWidth));
        const int sy = s0.y + static_cast<int>(static_cast<long long>(row) * (s1.y - s0.y) / std::abs(destHeight));
        if (sx < 0 || sy < 0 || sx >= origin.width || sy >= origin.height) continue;
        sourceValue = AsFormat(origin.pixels[static_cast<size_t>(sy) * origin.width + sx], origin.bitsPerPixel,
                               target.bitsPerPixel);
        if (target.bitsPerPixel == 1) sourceValue = sourceValue ? 0xFFFFFFFFu : 0;
      }
      uint32_t& pixel = target.pixels[static_cast<size_t>(dy) * target.width + dx];
      const uint32_t destValue = target.bitsPerPixel == 1 ? (pixel ? 0xFFFFFFFFu : 0) : pixel;
      const uint32_t result = Ternary(index, brush, sourceValue, destValue);
      pixel = target.bitsPerPixel == 1 ? (result & 1) : (result & kWhite);
    }
  }
  return TRUE;
}

// Windows' default colours (no theme is read).
DWORD GetSysColor(int index) {
  static const COLORREF kDefaults[] = {
      RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
      RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(51, 153, 255),  RGB(255, 255, 255),
      RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(67, 78, 84),
      RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
      RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(51, 153, 255),
      RGB(240, 240, 240),
  };
  return index >= 0 && index < static_cast<int>(sizeof kDefaults / sizeof kDefaults[0]) ? kDefaults[index] : 0;
}

COLORREF GetNearestColor(HDC dc, COLORREF colour) {
  std::lock_guard<std::mutex> hold(GdiLock());
  DeviceContext* context = ContextOf(dc);
  if (context == nullptr) return CLR_INVALID;
  colour &= 0xFFFFFF;
  if (context->surface->bitsPerPixel == 32) return colour;
  const int sum = (colour & 0xFF) + (colour >> 8 & 0xFF) + (colour >> 16 & 0xFF);
  return sum >= 3 * 128 ? 0xFFFFFF : 0;
}

}  // namespace platform
