// Painting: update regions, erasing, BeginPaint/EndPaint, scrolling, the caret, window
// surfaces and composing the desktop for the screen.
#include "user_internal.h"

#include <algorithm>
#include <cstring>

using namespace winplat;
using namespace winplat::user;

namespace winplat::user {

namespace {

RECT ClientBox(const Window* w) {
  return RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
}

}  // namespace

bool NeedsPaint(const Window* w) { return w->hasUpdate || w->ncPaint || w->internalPaint; }

void InvalidateClient(Window* w, const RECT* rc, bool erase, bool children) {
  if (!IsVisibleOnScreen(w)) return;
  RECT box = ClientBox(w);
  RECT r = box;
  if (rc) IntersectRect(&r, rc, &box);
  if (IsRectEmpty(&r)) return;
  if (w->hasUpdate) UnionRect(&w->update, &w->update, &r);
  else w->update = r;
  w->hasUpdate = true;
  if (erase) w->erase = true;
  if (!children || (w->style & WS_CLIPCHILDREN)) return;
  for (HWND c : w->children) {
    Window* cw = Find(c);
    if (!cw || !(cw->style & WS_VISIBLE)) continue;
    RECT inChild = r;
    OffsetRect(&inChild, -(cw->rect.left + cw->client.left), -(cw->rect.top + cw->client.top));
    RECT whole = inChild;
    RECT childBox = RECT{-cw->client.left, -cw->client.top, cw->rect.right - cw->rect.left - cw->client.left,
                         cw->rect.bottom - cw->rect.top - cw->client.top};
    RECT hit;
    if (!IntersectRect(&hit, &whole, &childBox)) continue;
    cw->ncPaint = true;
    InvalidateClient(cw, &inChild, erase, true);
  }
}

void ValidateClient(Window* w, const RECT* rc) {
  if (!w->hasUpdate) {
    if (!rc) w->erase = false;
    return;
  }
  if (!rc) {
    w->hasUpdate = false;
    w->erase = false;
    w->update = RECT{};
    return;
  }
  RECT u = w->update;
  RECT cut;
  if (!IntersectRect(&cut, &u, rc)) return;
  if (EqualRect(&cut, &u)) {
    w->hasUpdate = false;
    w->erase = false;
    w->update = RECT{};
    return;
  }
  // The update region is kept as a bounding box: it shrinks only when a whole band of it
  // was validated.
  if (cut.top == u.top && cut.bottom == u.bottom) {
    if (cut.left == u.left) u.left = cut.right;
    else if (cut.right == u.right) u.right = cut.left;
  } else if (cut.left == u.left && cut.right == u.right) {
    if (cut.top == u.top) u.top = cut.bottom;
    else if (cut.bottom == u.bottom) u.bottom = cut.top;
  }
  w->update = u;
}

void EraseNow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w || !IsVisibleOnScreen(w)) return;
  if (w->ncPaint) {
    w->ncPaint = false;
    SendMessageW(hwnd, WM_NCPAINT, 1, 0);
    if (!(w = Find(hwnd))) return;
  }
  if (w->erase && w->hasUpdate) {
    w->erase = false;
    RECT clip = w->update;
    HDC dc = CreateWindowDC(hwnd, true, &clip);
    if (dc) {
      SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      DestroyWindowDC(dc);
    }
  }
}

}  // namespace winplat::user

// ---- Update regions ------------------------------------------------------------------------

BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase) {
  if (!hwnd) {
    for (HWND h : S().topLevels)
      if (Window* w = Find(h)) {
        w->ncPaint = true;
        InvalidateClient(w, nullptr, erase != FALSE, true);
      }
    return TRUE;
  }
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  InvalidateClient(w, rc, erase != FALSE, true);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rc) {
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  ValidateClient(w, rc);
  return TRUE;
}

static void RedrawOne(HWND hwnd, const RECT* rc, UINT flags, bool top) {
  Window* w = Find(hwnd);
  if (!w) return;
  bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (flags & RDW_INVALIDATE) {
    if (IsVisibleOnScreen(w)) {
      if (flags & RDW_FRAME) w->ncPaint = true;
      if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
    }
    InvalidateClient(w, rc, (flags & RDW_ERASE) != 0, false);
  }
  if (flags & RDW_VALIDATE) {
    ValidateClient(w, rc);
    if (flags & RDW_NOFRAME) w->ncPaint = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  if (flags & RDW_NOERASE) w->erase = false;
  if (children) {
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) {
      Window* cw = Find(c);
      if (!cw) continue;
      if (rc) {
        RECT inChild = *rc;
        OffsetRect(&inChild, -(cw->rect.left + cw->client.left), -(cw->rect.top + cw->client.top));
        RedrawOne(c, &inChild, flags & ~(RDW_UPDATENOW | RDW_ERASENOW), false);
      } else {
        RedrawOne(c, nullptr, flags & ~(RDW_UPDATENOW | RDW_ERASENOW), false);
      }
    }
  }
  (void)top;
}

static void UpdateTree(HWND hwnd, bool paint, bool children) {
  Window* w = Find(hwnd);
  if (!w || !IsVisibleOnScreen(w)) return;
  if (paint) {
    if (NeedsPaint(w)) {
      SendMessageW(hwnd, WM_PAINT, 0, 0);
      if ((w = Find(hwnd))) w->internalPaint = false;
    }
  } else {
    EraseNow(hwnd);
  }
  if (!children || !(w = Find(hwnd))) return;
  std::vector<HWND> kids = w->children;
  for (HWND c : kids) UpdateTree(c, paint, true);
}

BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN, UINT flags) {
  std::vector<HWND> targets;
  if (!hwnd || hwnd == S().desktop) targets = S().topLevels;
  else if (FindValid(hwnd)) targets.push_back(hwnd);
  else return FALSE;
  for (HWND h : targets) {
    RedrawOne(h, hwnd ? rc : nullptr, flags, true);
    if (flags & RDW_UPDATENOW) UpdateTree(h, true, (flags & RDW_ALLCHILDREN) != 0);
    else if (flags & RDW_ERASENOW) UpdateTree(h, false, (flags & RDW_ALLCHILDREN) != 0);
  }
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  if (!FindValid(hwnd)) return FALSE;
  UpdateTree(hwnd, true, true);
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT out, BOOL erase) {
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  if (out) *out = w->hasUpdate ? w->update : RECT{};
  if (w->hasUpdate && erase) {
    EraseNow(hwnd);
  }
  return w->hasUpdate ? TRUE : FALSE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  Window* w = FindValid(hwnd);
  if (!w || !ps) return nullptr;
  State& s = S();
  if (s.caret.hwnd == hwnd) {
    HideCaret(hwnd);
    ++w->paintHidCaret;
  }
  if (w->ncPaint) {
    w->ncPaint = false;
    SendMessageW(hwnd, WM_NCPAINT, 1, 0);
    if (!(w = Find(hwnd))) return nullptr;
  }
  RECT rc = w->hasUpdate ? w->update : RECT{};
  bool erase = w->erase && w->hasUpdate;
  w->hasUpdate = false;
  w->erase = false;
  w->update = RECT{};
  w->internalPaint = false;
  HDC dc = CreateWindowDC(hwnd, true, &rc);
  std::memset(ps, 0, sizeof *ps);
  ps->hdc = dc;
  ps->rcPaint = rc;
  ps->fErase = FALSE;
  if (erase) {
    LRESULT done = dc ? SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) : 0;
    ps->fErase = done ? FALSE : TRUE;
  }
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  Window* w = FindValid(hwnd);
  if (ps && ps->hdc) DestroyWindowDC(ps->hdc);
  if (!w) return FALSE;
  if (w->paintHidCaret > 0) {
    --w->paintHidCaret;
    ShowCaret(hwnd);
  }
  return TRUE;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* rect, const RECT* clip) {
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  RECT box = ClientBox(w);
  RECT area = box;
  if (rect) IntersectRect(&area, rect, &box);
  RECT limit = area;
  if (clip) IntersectRect(&limit, &limit, clip);
  if (IsRectEmpty(&limit) || (dx == 0 && dy == 0)) return TRUE;
  // Move the pixels of the client area inside the surface.
  Surface& sf = w->surface;
  int ox = w->client.left, oy = w->client.top;
  RECT dst = area;
  OffsetRect(&dst, dx, dy);
  IntersectRect(&dst, &dst, &limit);
  std::vector<std::uint32_t> copy = sf.pixels;
  bool text = sf.HasTextLayer();
  std::vector<std::uint32_t> chars, colors;
  if (text) chars = sf.glyphChars, colors = sf.glyphColors;
  for (int y = dst.top; y < dst.bottom; ++y) {
    int sy = y - dy;
    if (y + oy < 0 || y + oy >= sf.height || sy + oy < 0 || sy + oy >= sf.height) continue;
    for (int x = dst.left; x < dst.right; ++x) {
      int sx = x - dx;
      if (x + ox < 0 || x + ox >= sf.width || sx + ox < 0 || sx + ox >= sf.width) continue;
      std::size_t to = static_cast<std::size_t>(y + oy) * sf.width + (x + ox);
      std::size_t from = static_cast<std::size_t>(sy + oy) * sf.width + (sx + ox);
      sf.pixels[to] = copy[from];
      if (text) sf.glyphChars[to] = chars[from], sf.glyphColors[to] = colors[from];  // text moves too
    }
  }
  MarkDirty(WindowRectOnScreen(w));
  // The pending update region moves with the pixels.
  if (w->hasUpdate) {
    RECT moved = w->update;
    OffsetRect(&moved, dx, dy);
    RECT kept;
    if (IntersectRect(&kept, &moved, &box)) w->update = kept;
    UnionRect(&w->update, &w->update, &w->update);
  }
  // Invalidate what was uncovered.
  auto add = [&](RECT r) {
    IntersectRect(&r, &r, &limit);
    if (!IsRectEmpty(&r)) InvalidateClient(w, &r, true, false);
  };
  if (dx > 0) add(RECT{limit.left, limit.top, limit.left + dx, limit.bottom});
  if (dx < 0) add(RECT{limit.right + dx, limit.top, limit.right, limit.bottom});
  if (dy > 0) add(RECT{limit.left, limit.top, limit.right, limit.top + dy});
  if (dy < 0) add(RECT{limit.left, limit.bottom + dy, limit.right, limit.bottom});
  // Without a rectangle the children move along.
  if (!rect) {
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) {
      Window* cw = Find(c);
      if (!cw) continue;
      SetWindowPosInternal(c, nullptr, cw->rect.left + dx, cw->rect.top + dy, 0, 0,
                           SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
  }
  // The caret moves with the pixels when it is inside the scrolled area.
  Caret& caret = S().caret;
  if (caret.hwnd == hwnd && PtInRect(&limit, caret.pos)) {
    caret.pos.x += dx;
    caret.pos.y += dy;
  }
  return TRUE;
}

// ---- Caret ------------------------------------------------------------------------------------

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  Caret& c = S().caret;
  if (c.hwnd) DestroyCaret();
  c.hwnd = hwnd;
  c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  c.pos = POINT{0, 0};
  c.hideCount = 1;
  MarkAllDirty();
  return TRUE;
}

BOOL DestroyCaret() {
  Caret& c = S().caret;
  if (!c.hwnd) {
    SetLastError(1425);  // ERROR_NO_CARET... kept quiet
    return FALSE;
  }
  c = Caret{};
  MarkAllDirty();
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  Caret& c = S().caret;
  if (!c.hwnd || (hwnd && hwnd != c.hwnd) || c.hideCount == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  --c.hideCount;
  MarkAllDirty();
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  Caret& c = S().caret;
  if (!c.hwnd || (hwnd && hwnd != c.hwnd)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ++c.hideCount;
  MarkAllDirty();
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  Caret& c = S().caret;
  if (!c.hwnd) return FALSE;
  c.pos = POINT{x, y};
  MarkAllDirty();
  return TRUE;
}

BOOL GetCaretPos(LPPOINT p) {
  if (!p) return FALSE;
  Caret& c = S().caret;
  *p = c.hwnd ? c.pos : POINT{0, 0};
  return c.hwnd != nullptr;
}

static UINT caretBlinkMs = 530;
UINT GetCaretBlinkTime() { return caretBlinkMs; }
BOOL SetCaretBlinkTime(UINT ms) {
  caretBlinkMs = ms;
  return TRUE;
}

// ---- Window surfaces and the desktop picture ---------------------------------------------------

namespace winplat {

bool GetWindowTarget(HWND hwnd, bool client, WindowTarget* out) {
  Window* w = Find(hwnd);
  if (!w || !out) return false;
  out->surface = &w->surface;
  if (client) {
    out->origin = POINT{w->client.left, w->client.top};
    out->clip = w->client;
  } else {
    out->origin = POINT{0, 0};
    out->clip = RECT{0, 0, w->surface.width, w->surface.height};
  }
  return true;
}

void SurfaceChanged(HWND hwnd, const RECT& r) {
  Window* w = Find(hwnd);
  if (!w) return;
  RECT screen = r;
  RECT wr = WindowRectOnScreen(w);
  OffsetRect(&screen, wr.left, wr.top);
  MarkDirty(screen);
}

}  // namespace winplat

namespace winplat::user {

namespace {

struct Desktop {
  Surface pixels;
  std::vector<std::uint32_t> presented;
  bool hasPresented = false;
  bool lastCaretVisible = false;
  RECT lastCaret{};
  HWND lastActive = nullptr;
  RECT lastActiveRect{};
  std::wstring lastCaption;
};

Desktop& D() {
  static Desktop* d = new Desktop();
  return *d;
}

void Blit(Surface& dst, const Surface& src, int dx, int dy, RECT clip) {
  RECT bounds{0, 0, dst.width, dst.height};
  IntersectRect(&clip, &clip, &bounds);
  RECT srcOnDst{dx, dy, dx + src.width, dy + src.height};
  IntersectRect(&clip, &clip, &srcOnDst);
  bool text = dst.HasTextLayer() && src.HasTextLayer();
  for (int y = clip.top; y < clip.bottom; ++y) {
    std::size_t from = static_cast<std::size_t>(y - dy) * src.width + (clip.left - dx);
    std::size_t to = static_cast<std::size_t>(y) * dst.width + clip.left;
    std::copy_n(src.pixels.data() + from, clip.right - clip.left, dst.pixels.data() + to);
    if (text) {
      std::copy_n(src.glyphChars.data() + from, clip.right - clip.left, dst.glyphChars.data() + to);
      std::copy_n(src.glyphColors.data() + from, clip.right - clip.left, dst.glyphColors.data() + to);
    }
  }
}

void ComposeTree(Surface& desk, HWND hwnd, RECT clip) {
  Window* w = Find(hwnd);
  if (!w || !(w->style & WS_VISIBLE)) return;
  RECT wr = WindowRectOnScreen(w);
  RECT c;
  if (!IntersectRect(&c, &clip, &wr)) return;
  Blit(desk, w->surface, wr.left, wr.top, c);
  POINT o = ClientOriginOnScreen(w);
  RECT cr{o.x, o.y, o.x + (w->client.right - w->client.left), o.y + (w->client.bottom - w->client.top)};
  RECT childClip;
  if (!IntersectRect(&childClip, &c, &cr)) return;
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) ComposeTree(desk, *it, childClip);
}

}  // namespace

void PresentIfChanged() {
  State& s = S();
  Desktop& d = D();
  Screen& screen = CurrentScreen();
  bool menuOpen = IsMenuOpen();
  bool anything = s.desktopDirty || !IsRectEmpty(&s.dirty) || menuOpen || s.lastMenuOpen != menuOpen ||
                  !d.hasPresented || s.presentWanted;
  if (!anything) return;
  s.lastMenuOpen = menuOpen;
  int W = screen.Width(), H = screen.Height();
  if (d.pixels.width != W || d.pixels.height != H) {
    d.pixels.Resize(W, H);
    d.hasPresented = false;
  }
  std::fill(d.pixels.pixels.begin(), d.pixels.pixels.end(), 0u);
  d.pixels.ClearText(0, 0, W, H);
  RECT all{0, 0, W, H};
  for (auto it = s.topLevels.rbegin(); it != s.topLevels.rend(); ++it) ComposeTree(d.pixels, *it, all);
  ComposeMenus(d.pixels);

  Frame f;
  f.width = W;
  f.height = H;
  f.pixels = d.pixels.pixels.data();
  if (d.pixels.HasTextLayer()) {
    f.glyphChars = d.pixels.glyphChars.data();
    f.glyphColors = d.pixels.glyphColors.data();
  }
  f.caretBlinkMs = GetCaretBlinkTime();
  RECT activeRect{};
  std::wstring caption;
  if (Window* a = Find(s.active)) {
    activeRect = WindowRectOnScreen(a);
    caption = a->text;
  }
  f.activeWindow = ScreenRect{activeRect.left, activeRect.top, activeRect.right, activeRect.bottom};
  f.activeCaption = caption;
  RECT caretRect{};
  bool caretVisible = false;
  if (Window* cw = Find(s.caret.hwnd); cw && s.caret.hideCount == 0 && IsVisibleOnScreen(cw)) {
    POINT o = ClientOriginOnScreen(cw);
    caretRect = RECT{o.x + s.caret.pos.x, o.y + s.caret.pos.y, o.x + s.caret.pos.x + s.caret.width,
                     o.y + s.caret.pos.y + s.caret.height};
    caretVisible = true;
  }
  f.caretVisible = caretVisible;
  f.caret = ScreenRect{caretRect.left, caretRect.top, caretRect.right, caretRect.bottom};

  // Find what changed against the last presented picture.
  RECT changed{};
  if (!d.hasPresented || d.presented.size() != d.pixels.pixels.size()) {
    changed = all;
  } else {
    int minX = W, minY = H, maxX = -1, maxY = -1;
    for (int y = 0; y < H; ++y) {
      const std::uint32_t* a = d.pixels.pixels.data() + static_cast<std::size_t>(y) * W;
      const std::uint32_t* b = d.presented.data() + static_cast<std::size_t>(y) * W;
      if (std::memcmp(a, b, sizeof(std::uint32_t) * W) == 0) continue;
      for (int x = 0; x < W; ++x) {
        if (a[x] != b[x]) {
          minX = std::min(minX, x);
          maxX = std::max(maxX, x);
        }
      }
      minY = std::min(minY, y);
      maxY = y;
    }
    if (maxX >= 0) changed = RECT{minX, minY, maxX + 1, maxY + 1};
  }
  bool overlayChanged = caretVisible != d.lastCaretVisible || !EqualRect(&caretRect, &d.lastCaret) ||
                        s.active != d.lastActive || !EqualRect(&activeRect, &d.lastActiveRect) ||
                        caption != d.lastCaption;
  s.desktopDirty = false;
  s.dirty = RECT{};
  bool wanted = s.presentWanted;
  s.presentWanted = false;
  if (IsRectEmpty(&changed) && !overlayChanged && d.hasPresented && !wanted) return;
  f.changed = ScreenRect{changed.left, changed.top, changed.right, changed.bottom};
  screen.Present(f);
  d.presented = d.pixels.pixels;
  d.hasPresented = true;
  d.lastCaretVisible = caretVisible;
  d.lastCaret = caretRect;
  d.lastActive = s.active;
  d.lastActiveRect = activeRect;
  d.lastCaption = caption;
}

}  // namespace winplat::user
