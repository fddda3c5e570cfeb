// GDI raster operations into 32-bit pixel surfaces: rectangles, fills, block transfers,
// focus rectangles, single pixels and lines.
#include "gdi_private.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace winplat;
using namespace winplat::gdi;

namespace {

RECT Normalized(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return RECT{left, top, right, bottom};
}

RECT ToSurface(const Target& t, const RECT& r) {
  return RECT{r.left + t.ox, r.top + t.oy, r.right + t.ox, r.bottom + t.oy};
}

// A brush handle may also be a system colour index plus one, as window classes use.
bool BrushColor(HBRUSH brush, COLORREF* color) {
  if (Brush* b = FindAs<Brush>(brush, Kind::Brush)) {
    if (b->style == BS_NULL) return false;
    *color = b->color;
    return true;
  }
  auto value = reinterpret_cast<std::uintptr_t>(brush);
  if (value >= 1 && value <= 31 && !Find(brush)) {
    *color = GetSysColor(static_cast<int>(value) - 1) & 0x00FFFFFFu;
    return true;
  }
  return false;
}

void XorSurface(Target& t, RECT r, std::uint32_t mask) {
  r = Intersect(r, t.clip);
  if (IsEmpty(r)) return;
  Surface& s = *t.surface;
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint32_t* row = s.pixels.data() + static_cast<std::size_t>(y) * s.width;
    for (int x = r.left; x < r.right; ++x) row[x] ^= mask;
  }
  t.Touch(r);
}

void PutPixel(Target& t, int sx, int sy, std::uint32_t pixel) {
  if (sx < t.clip.left || sx >= t.clip.right || sy < t.clip.top || sy >= t.clip.bottom) return;
  t.surface->pixels[static_cast<std::size_t>(sy) * t.surface->width + sx] = pixel;
  t.Touch(RECT{sx, sy, sx + 1, sy + 1});
}

// The four sides of a frame of the given thickness inside `outer`.
void FillFrame(Target& t, const RECT& outer, int thickness, std::uint32_t pixel) {
  if (IsEmpty(outer)) return;
  if (outer.right - outer.left <= 2 * thickness || outer.bottom - outer.top <= 2 * thickness) {
    FillSurface(t, outer, pixel);
    return;
  }
  FillSurface(t, RECT{outer.left, outer.top, outer.right, outer.top + thickness}, pixel);
  FillSurface(t, RECT{outer.left, outer.bottom - thickness, outer.right, outer.bottom}, pixel);
  FillSurface(t, RECT{outer.left, outer.top + thickness, outer.left + thickness,
                      outer.bottom - thickness}, pixel);
  FillSurface(t, RECT{outer.right - thickness, outer.top + thickness, outer.right,
                      outer.bottom - thickness}, pixel);
}

}  // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = FindDc(hdc);
  if (!dc) return FALSE;
  Target t;
  if (!ResolveTarget(*dc, t)) return TRUE;
  RECT r = ToSurface(t, Normalized(left, top, right, bottom));
  const Pen* pen = dc->state.pen;
  const Brush* brush = dc->state.brush;
  const bool hasPen = pen && pen->style != PS_NULL;
  RECT inner;
  if (hasPen) {
    // The outline lies on left..right-1, top..bottom-1; a wide pen is centred on that
    // path, except an inside-frame pen, which stays inside it.
    const int w = pen->width;
    RECT outer = r;
    if (pen->style != PS_INSIDEFRAME && w > 1) {
      outer = RECT{r.left - (w - 1) / 2, r.top - (w - 1) / 2, r.right + w / 2, r.bottom + w / 2};
    }
    inner = RECT{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
    const bool fill = brush && brush->style != BS_NULL;
    if (fill && brush->color == pen->color) {
      FillSurface(t, outer, ToPixel(pen->color));  // one block, as a console cell is drawn
    } else {
      if (fill && !IsEmpty(inner)) FillSurface(t, inner, ToPixel(brush->color));
      FillFrame(t, outer, w, ToPixel(pen->color));
    }
  } else {
    // Without a pen the figure is one pixel narrower and one pixel shorter.
    inner = RECT{r.left, r.top, r.right - 1, r.bottom - 1};
    if (brush && brush->style != BS_NULL) FillSurface(t, inner, ToPixel(brush->color));
  }
  Flush(t);
  return TRUE;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  Dc* dc = FindDc(hdc);
  if (!dc || !rect) return 0;
  COLORREF color;
  if (!BrushColor(brush, &color)) return 0;
  Target t;
  if (!ResolveTarget(*dc, t)) return 1;
  FillSurface(t, ToSurface(t, *rect), ToPixel(color));
  Flush(t);
  return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  Dc* dc = FindDc(hdc);
  if (!dc || !rect) return 0;
  COLORREF color;
  if (!BrushColor(brush, &color)) return 0;
  Target t;
  if (!ResolveTarget(*dc, t)) return 1;
  FillFrame(t, ToSurface(t, *rect), 1, ToPixel(color));
  Flush(t);
  return 1;
}

namespace {

// Operations that read only the destination (and the brush).
bool DestinationOnly(DWORD rop, Dc& dc, Target& t, const RECT& r) {
  switch (rop) {
    case BLACKNESS: FillSurface(t, r, 0); return true;
    case WHITENESS: FillSurface(t, r, 0x00FFFFFFu); return true;
    case DSTINVERT: XorSurface(t, r, 0x00FFFFFFu); return true;
    case PATCOPY:
      if (dc.state.brush && dc.state.brush->style != BS_NULL)
        FillSurface(t, r, ToPixel(dc.state.brush->color));
      return true;
    case PATINVERT:
      if (dc.state.brush && dc.state.brush->style != BS_NULL)
        XorSurface(t, r, ToPixel(dc.state.brush->color));
      return true;
    default: return false;
  }
}

}  // namespace

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  Dc* dc = FindDc(hdc);
  if (!dc) return FALSE;
  Target t;
  if (!ResolveTarget(*dc, t)) return TRUE;
  RECT r = ToSurface(t, Normalized(x, y, x + width, y + height));
  BOOL ok = DestinationOnly(rop, *dc, t, r) ? TRUE : FALSE;
  Flush(t);
  return ok;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            DWORD rop) {
  Dc* d = FindDc(dest);
  if (!d) return FALSE;
  Target dt;
  if (!ResolveTarget(*d, dt)) return TRUE;
  if (width < 0) {
    x += width;
    srcX += width;
    width = -width;
  }
  if (height < 0) {
    y += height;
    srcY += height;
    height = -height;
  }
  RECT dr = ToSurface(dt, RECT{x, y, x + width, y + height});
  if (DestinationOnly(rop, *d, dt, dr)) {
    Flush(dt);
    return TRUE;
  }
  Dc* s = FindDc(src);
  if (!s) return FALSE;
  Target st;
  if (!ResolveTarget(*s, st)) return TRUE;
  // Clip in destination space, then by what the source can supply.
  const int dx = dr.left - (srcX + st.ox);  // destination minus source, surface coordinates
  const int dy = dr.top - (srcY + st.oy);
  RECT clip = Intersect(dr, dt.clip);
  RECT srcInDest{st.clip.left + dx, st.clip.top + dy, st.clip.right + dx, st.clip.bottom + dy};
  clip = Intersect(clip, srcInDest);
  if (IsEmpty(clip)) return TRUE;
  Surface& ds = *dt.surface;
  Surface& ss = *st.surface;
  const int w = clip.right - clip.left;
  const int h = clip.bottom - clip.top;
  std::vector<std::uint32_t> copy;
  const std::uint32_t* srcBase = ss.pixels.data();
  int srcStride = ss.width;
  int sx0 = clip.left - dx, sy0 = clip.top - dy;
  if (&ds == &ss) {
    // Overlapping transfer within one surface: read everything first.
    copy.resize(static_cast<std::size_t>(w) * h);
    for (int row = 0; row < h; ++row)
      std::memcpy(copy.data() + static_cast<std::size_t>(row) * w,
                  srcBase + static_cast<std::size_t>(sy0 + row) * srcStride + sx0,
                  sizeof(std::uint32_t) * w);
    srcBase = copy.data();
    srcStride = w;
    sx0 = 0;
    sy0 = 0;
  }
  for (int row = 0; row < h; ++row) {
    const std::uint32_t* sp = srcBase + static_cast<std::size_t>(sy0 + row) * srcStride + sx0;
    std::uint32_t* dp = ds.pixels.data() + static_cast<std::size_t>(clip.top + row) * ds.width +
                        clip.left;
    switch (rop) {
      case SRCCOPY: std::memcpy(dp, sp, sizeof(std::uint32_t) * w); break;
      case SRCPAINT: for (int i = 0; i < w; ++i) dp[i] |= sp[i]; break;
      case SRCAND: for (int i = 0; i < w; ++i) dp[i] &= sp[i]; break;
      case SRCINVERT: for (int i = 0; i < w; ++i) dp[i] ^= sp[i]; break;
      case NOTSRCCOPY: for (int i = 0; i < w; ++i) dp[i] = ~sp[i] & 0x00FFFFFFu; break;
      default: return FALSE;
    }
  }
  // A copy carries the text layer along; other operations leave the characters in place.
  if (rop == SRCCOPY && ds.HasTextLayer()) {
    if (ss.HasTextLayer()) {
      // Row by row, in the order that keeps an overlapping copy within one surface intact.
      const bool upward = &ds == &ss && dy > 0;
      for (int i = 0; i < h; ++i) {
        const int row = upward ? h - 1 - i : i;
        const std::size_t from =
            static_cast<std::size_t>(clip.top - dy + row) * ss.width + (clip.left - dx);
        const std::size_t to = static_cast<std::size_t>(clip.top + row) * ds.width + clip.left;
        std::memmove(ds.glyphChars.data() + to, ss.glyphChars.data() + from,
                     sizeof(std::uint32_t) * w);
        std::memmove(ds.glyphColors.data() + to, ss.glyphColors.data() + from,
                     sizeof(std::uint32_t) * w);
      }
    } else {
      ds.ClearText(clip.left, clip.top, clip.right, clip.bottom);
    }
  }
  dt.Touch(clip);
  Flush(dt);
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
  Dc* dc = FindDc(hdc);
  if (!dc || !rect) return FALSE;
  Target t;
  if (!ResolveTarget(*dc, t)) return TRUE;
  // A dotted frame, every other pixel inverted, so a second call takes it away again.
  const RECT r = *rect;
  if (IsEmpty(r)) return TRUE;
  auto invert = [&](int x, int y) {
    if (((x + y) & 1) != 0) return;
    const int sx = x + t.ox, sy = y + t.oy;
    if (sx < t.clip.left || sx >= t.clip.right || sy < t.clip.top || sy >= t.clip.bottom) return;
    t.surface->pixels[static_cast<std::size_t>(sy) * t.surface->width + sx] ^= 0x00FFFFFFu;
  };
  for (int x = r.left; x < r.right; ++x) {
    invert(x, r.top);
    if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    invert(r.left, y);
    if (r.right - 1 > r.left) invert(r.right - 1, y);
  }
  t.Touch(Intersect(ToSurface(t, r), t.clip));
  Flush(t);
  return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  Dc* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  Target t;
  if (!ResolveTarget(*dc, t)) return CLR_INVALID;
  const int sx = x + t.ox, sy = y + t.oy;
  if (sx < t.clip.left || sx >= t.clip.right || sy < t.clip.top || sy >= t.clip.bottom)
    return CLR_INVALID;
  return ToColorRef(t.surface->pixels[static_cast<std::size_t>(sy) * t.surface->width + sx]);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  Dc* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  Target t;
  if (!ResolveTarget(*dc, t)) return CLR_INVALID;
  const int sx = x + t.ox, sy = y + t.oy;
  if (sx < t.clip.left || sx >= t.clip.right || sy < t.clip.top || sy >= t.clip.bottom)
    return CLR_INVALID;
  PutPixel(t, sx, sy, ToPixel(color));
  Flush(t);
  return color & 0x00FFFFFFu;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
  Dc* dc = FindDc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->state.position;
  dc->state.position = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  Dc* dc = FindDc(hdc);
  if (!dc) return FALSE;
  POINT from = dc->state.position;
  dc->state.position = POINT{x, y};
  const Pen* pen = dc->state.pen;
  if (!pen || pen->style == PS_NULL) return TRUE;
  Target t;
  if (!ResolveTarget(*dc, t)) return TRUE;
  const std::uint32_t pixel = ToPixel(pen->color);
  // Bresenham from the current position up to, not including, the end point.
  int x0 = from.x, y0 = from.y;
  const int ax = std::abs(x - x0), ay = std::abs(y - y0);
  const int stepX = x0 < x ? 1 : -1, stepY = y0 < y ? 1 : -1;
  int err = ax - ay;
  const int half = (pen->width - 1) / 2;
  while (x0 != x || y0 != y) {
    if (pen->width <= 1) {
      PutPixel(t, x0 + t.ox, y0 + t.oy, pixel);
    } else {
      FillSurface(t, RECT{x0 - half + t.ox, y0 - half + t.oy, x0 - half + pen->width + t.ox,
                          y0 - half + pen->width + t.oy}, pixel);
    }
    const int e2 = 2 * err;
    if (e2 > -ay) {
      err -= ay;
      x0 += stepX;
    }
    if (e2 < ax) {
      err += ax;
      y0 += stepY;
    }
  }
  Flush(t);
  return TRUE;
}
