// GDI objects and device contexts: the handle table, stock objects, creation, selection and
// deletion, window and memory DCs, and the DC attributes.
#include "gdi_private.h"

#include "screen.h"

#include <algorithm>
#include <cstring>

namespace winplat {

namespace {

// The text layer triples what every surface costs to make, fill and copy, and only a screen
// that shows characters reads it: surfaces carry one only while such a screen is in use.
bool TextLayerWanted() { return CurrentScreen().ShowsText(); }

}  // namespace

void Surface::Resize(int w, int h) {
  width = w > 0 ? w : 0;
  height = h > 0 ? h : 0;
  pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
  if (TextLayerWanted()) {
    glyphChars.assign(pixels.size(), 0u);
    glyphColors.assign(pixels.size(), 0u);
  } else {
    glyphChars.clear();
    glyphColors.clear();
  }
}

void Surface::ClearText(int left, int top, int right, int bottom) {
  if (!HasTextLayer() || right <= left) return;
  for (int y = top; y < bottom; ++y) {
    std::size_t at = static_cast<std::size_t>(y) * width + left;
    std::fill_n(glyphChars.data() + at, right - left, 0u);
    std::fill_n(glyphColors.data() + at, right - left, 0u);
  }
}

}  // namespace winplat

namespace winplat::gdi {
namespace {

// Open-addressing table from handle value to object: every drawing call looks handles up,
// and a screen of cells creates and deletes thousands of pens and brushes, so this stays
// cheap (no allocation per insert, no tombstones: deletion shifts the cluster back).
class HandleTable {
 public:
  Object* Find(std::uintptr_t key) const {
    if (key == 0 || slots_.empty()) return nullptr;
    for (std::size_t i = Home(key);; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.key == key) return s.object;
      if (s.key == 0) return nullptr;
    }
  }
  void Insert(std::uintptr_t key, Object* object) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    std::size_t i = Home(key);
    while (slots_[i].key != 0) i = (i + 1) & mask_;
    slots_[i] = {key, object};
    ++count_;
  }
  void Erase(std::uintptr_t key) {
    if (slots_.empty()) return;
    std::size_t i = Home(key);
    while (slots_[i].key != key) {
      if (slots_[i].key == 0) return;
      i = (i + 1) & mask_;
    }
    slots_[i] = {};
    --count_;
    // Move later members of the cluster back into the gap when their home allows it.
    for (std::size_t j = (i + 1) & mask_; slots_[j].key != 0; j = (j + 1) & mask_) {
      std::size_t home = Home(slots_[j].key);
      bool movable = (i <= j) ? (home <= i || home > j) : (home <= i && home > j);
      if (movable) {
        slots_[i] = slots_[j];
        slots_[j] = {};
        i = j;
      }
    }
  }

 private:
  struct Slot {
    std::uintptr_t key = 0;
    Object* object = nullptr;
  };
  std::size_t Home(std::uintptr_t key) const {
    return static_cast<std::size_t>((static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull) >>
                                    shift_) & mask_;
  }
  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    std::size_t size = old.empty() ? 256 : old.size() * 2;
    slots_.assign(size, Slot{});
    mask_ = size - 1;
    shift_ = 64;
    for (std::size_t s = size; s > 1; s >>= 1) --shift_;
    count_ = 0;
    for (const Slot& s : old)
      if (s.key != 0) Insert(s.key, s.object);
  }
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  unsigned shift_ = 64;
  std::size_t count_ = 0;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable();  // lives for the process
  return *table;
}

template <class T>
T* Register(T* object) {
  object->handle = NewHandleValue();
  Table().Insert(object->handle, object);
  return object;
}

void Destroy(Object* object) {
  Table().Erase(object->handle);
  delete object;
}

template <class H>
H HandleOf(const Object* object) {
  return object ? reinterpret_cast<H>(object->handle) : nullptr;
}

// ---- Stock objects ----------------------------------------------------------------------
Font* MakeStockFont(LONG height, LONG weight, BYTE pitchAndFamily, const wchar_t* face) {
  auto* f = new Font();
  f->stock = true;
  f->requested.lfHeight = height;
  f->requested.lfWeight = weight;
  f->requested.lfCharSet = ANSI_CHARSET;
  f->requested.lfPitchAndFamily = pitchAndFamily;
  for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i) f->requested.lfFaceName[i] = face[i];
  return f;
}

Object* MakeStock(int which) {
  auto pen = [](int style, COLORREF c) {
    auto* p = new Pen();
    p->style = style;
    p->color = c;
    return p;
  };
  auto brush = [](int style, COLORREF c) {
    auto* b = new Brush();
    b->style = style;
    b->color = c;
    return b;
  };
  Object* o = nullptr;
  switch (which) {
    case WHITE_BRUSH: o = brush(BS_SOLID, RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = brush(BS_SOLID, RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = brush(BS_SOLID, RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = brush(BS_SOLID, RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = brush(BS_SOLID, RGB(0, 0, 0)); break;
    case NULL_BRUSH: o = brush(BS_NULL, 0); break;
    case WHITE_PEN: o = pen(PS_SOLID, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = pen(PS_SOLID, RGB(0, 0, 0)); break;
    case NULL_PEN: o = pen(PS_NULL, 0); break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: {
      DefaultFontMetrics m = CurrentScreen().DefaultFont();
      Font* f = MakeStockFont(m.height, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, L"System");
      f->requested.lfWidth = m.averageWidth;
      f->systemDefault = true;
      o = f;
      break;
    }
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
      o = MakeStockFont(CurrentScreen().DefaultFont().height, FW_NORMAL, FIXED_PITCH | FF_MODERN,
                        L"Courier");
      break;
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT:
      o = MakeStockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, L"MS Shell Dlg");
      break;
    default: return nullptr;
  }
  o->stock = true;
  return Register(o);
}

Object* Stock(int which) {
  static std::array<Object*, 18> stock{};
  if (which < 0 || which >= static_cast<int>(stock.size())) return nullptr;
  if (!stock[which]) stock[which] = MakeStock(which);
  return stock[which];
}

// The default bitmap of a memory DC: one monochrome pixel, shared, never deleted.
Bitmap* DefaultBitmap() {
  static Bitmap* bitmap = [] {
    auto* b = new Bitmap();
    b->stock = true;
    b->bitsPixel = 1;
    b->surface.Resize(1, 1);
    return Register(b);
  }();
  return bitmap;
}

// Selection bookkeeping: an object deleted while selected goes when its last DC lets go.
void Retain(Object* o) {
  if (o) ++o->selected;
}
void Release(Object* o) {
  if (!o) return;
  if (o->selected > 0) --o->selected;
  if (o->selected == 0 && o->deletePending && !o->stock) Destroy(o);
}

void ReleaseState(DcState& s) {
  Release(s.pen);
  Release(s.brush);
  Release(s.font);
  s.pen = nullptr;
  s.brush = nullptr;
  s.font = nullptr;
}

void RetainState(const DcState& s) {
  Retain(s.pen);
  Retain(s.brush);
  Retain(s.font);
}

Dc* NewDc() {
  auto* dc = new Dc();
  dc->state.pen = static_cast<Pen*>(Stock(BLACK_PEN));
  dc->state.brush = static_cast<Brush*>(Stock(WHITE_BRUSH));
  dc->state.font = static_cast<Font*>(Stock(SYSTEM_FONT));
  RetainState(dc->state);
  return dc;
}

void DestroyDc(Dc* dc) {
  ReleaseState(dc->state);
  for (DcState& s : dc->saved) ReleaseState(s);
  if (dc->bitmap) {
    dc->bitmap->selectedIn = 0;
    Release(dc->bitmap);
  }
  Destroy(dc);
}

HDC NewWindowDc(HWND hwnd, bool client, const RECT* clip) {
  Dc* dc = NewDc();
  dc->hwnd = hwnd;
  dc->client = client;
  if (clip) {
    dc->hasClip = true;
    dc->clip = *clip;
  }
  return HandleOf<HDC>(Register(dc));
}

}  // namespace

Object* Find(const void* handle) {
  return Table().Find(reinterpret_cast<std::uintptr_t>(handle));
}

FontInstance& Font::Instance() {
  if (!instance) instance = systemDefault ? SystemFontInstance() : ResolveFont(requested);
  return *instance;
}

// ---- Targets ----------------------------------------------------------------------------
bool ResolveTarget(Dc& dc, Target& t) {
  t = Target{};
  if (dc.memory) {
    if (!dc.bitmap) return false;
    t.surface = &dc.bitmap->surface;
    t.clip = {0, 0, t.surface->width, t.surface->height};
    return true;
  }
  if (!dc.hwnd) return false;  // the screen DC measures but draws nowhere
  WindowTarget wt;
  if (!GetWindowTarget(dc.hwnd, dc.client, &wt) || !wt.surface) return false;
  t.surface = wt.surface;
  t.ox = wt.origin.x;
  t.oy = wt.origin.y;
  RECT bounds{0, 0, wt.surface->width, wt.surface->height};
  t.clip = Intersect(wt.clip, bounds);
  if (dc.hasClip) {
    RECT c{dc.clip.left + t.ox, dc.clip.top + t.oy, dc.clip.right + t.ox, dc.clip.bottom + t.oy};
    t.clip = Intersect(t.clip, c);
  }
  t.hwnd = dc.hwnd;
  return true;
}

void Target::Touch(const RECT& r) {
  if (!hwnd || IsEmpty(r)) return;
  if (IsEmpty(changed)) {
    changed = r;
  } else {
    changed.left = std::min(changed.left, r.left);
    changed.top = std::min(changed.top, r.top);
    changed.right = std::max(changed.right, r.right);
    changed.bottom = std::max(changed.bottom, r.bottom);
  }
}

void Flush(Target& t) {
  if (t.hwnd && !IsEmpty(t.changed)) SurfaceChanged(t.hwnd, t.changed);
  t.changed = RECT{0, 0, 0, 0};
}

void FillSurface(Target& t, RECT r, std::uint32_t pixel) {
  r = Intersect(r, t.clip);
  if (IsEmpty(r)) return;
  Surface& s = *t.surface;
  const int w = r.right - r.left;
  for (int y = r.top; y < r.bottom; ++y)
    std::fill_n(s.pixels.data() + static_cast<std::size_t>(y) * s.width + r.left, w, pixel);
  s.ClearText(r.left, r.top, r.right, r.bottom);
  t.Touch(r);
}

}  // namespace winplat::gdi

// ---- Window DCs for the windows part ----------------------------------------------------
namespace winplat {

HDC CreateWindowDC(HWND hwnd, bool client, const RECT* clip) {
  WindowTarget wt;
  if (!hwnd || !GetWindowTarget(hwnd, client, &wt)) return nullptr;
  return gdi::NewWindowDc(hwnd, client, clip);
}

void DestroyWindowDC(HDC hdc) {
  gdi::Dc* dc = gdi::FindDc(hdc);
  if (dc && !dc->memory) gdi::DestroyDc(dc);
}

}  // namespace winplat

using namespace winplat;
using namespace winplat::gdi;

// ---- Object API -------------------------------------------------------------------------
HGDIOBJ GetStockObject(int object) {
  Object* o = Stock(object);
  return o ? reinterpret_cast<HGDIOBJ>(o->handle) : nullptr;
}

HPEN CreatePen(int style, int width, COLORREF color) {
  style &= PS_STYLE_MASK;
  if (style > PS_INSIDEFRAME) return nullptr;
  auto* p = new Pen();
  p->style = style;
  p->width = width < 1 ? 1 : width;
  p->color = color & 0x00FFFFFFu;
  return HandleOf<HPEN>(Register(p));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = new Brush();
  b->color = color & 0x00FFFFFFu;
  return HandleOf<HBRUSH>(Register(b));
}

HFONT CreateFontIndirectW(const LOGFONTW* logFont) {
  if (!logFont) return nullptr;
  auto* f = new Font();
  f->requested = *logFont;
  f->requested.lfFaceName[LF_FACESIZE - 1] = 0;
  return HandleOf<HFONT>(Register(f));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCWSTR faceName) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  lf.lfUnderline = static_cast<BYTE>(underline);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName)
    for (int i = 0; faceName[i] != 0 && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = faceName[i];
  return CreateFontIndirectW(&lf);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (!FindDc(hdc) || width < 0 || height < 0) return nullptr;
  auto* b = new Bitmap();
  // An empty request gives the one-pixel bitmap, as the real platform does.
  if (width == 0 || height == 0) {
    b->surface.Resize(1, 1);
    b->bitsPixel = 1;
  } else {
    b->surface.Resize(width, height);
  }
  return HandleOf<HBITMAP>(Register(b));
}

int GetObjectW(HANDLE object, int size, LPVOID buffer) {
  Object* o = Find(object);
  if (!o || o->kind == Kind::Dc) return 0;
  auto give = [&](const void* data, int bytes) {
    if (!buffer) return bytes;
    if (size < bytes) {
      // Fonts may be read partly (a short face name); the rest need the whole record.
      if (o->kind != Kind::Font || size <= 0) return 0;
      bytes = size;
    }
    std::memcpy(buffer, data, static_cast<std::size_t>(bytes));
    return bytes;
  };
  switch (o->kind) {
    case Kind::Pen: {
      auto* p = static_cast<Pen*>(o);
      LOGPEN lp{static_cast<UINT>(p->style), POINT{p->width, 0}, p->color};
      return give(&lp, sizeof lp);
    }
    case Kind::Brush: {
      auto* b = static_cast<Brush*>(o);
      LOGBRUSH lb{static_cast<UINT>(b->style), b->color, 0};
      return give(&lb, sizeof lb);
    }
    case Kind::Font: return give(&static_cast<Font*>(o)->requested, sizeof(LOGFONTW));
    case Kind::Bitmap: {
      auto* b = static_cast<Bitmap*>(o);
      BITMAP bm{};
      bm.bmWidth = b->surface.width;
      bm.bmHeight = b->surface.height;
      bm.bmBitsPixel = static_cast<WORD>(b->bitsPixel);
      bm.bmPlanes = 1;
      bm.bmWidthBytes = ((b->surface.width * b->bitsPixel + 15) / 16) * 2;
      return give(&bm, sizeof bm);
    }
    case Kind::Dc: break;
  }
  return 0;
}

DWORD GetObjectType(HGDIOBJ object) {
  Object* o = Find(object);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Dc: return static_cast<Dc*>(o)->memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

BOOL DeleteObject(HGDIOBJ object) {
  Object* o = Find(object);
  if (!o || o->kind == Kind::Dc) return FALSE;
  if (o->stock) return TRUE;
  if (o->selected > 0) {
    // A bitmap in a DC cannot go; a pen, brush or font goes once it is deselected.
    if (o->kind == Kind::Bitmap) return FALSE;
    o->deletePending = true;
    return TRUE;
  }
  Destroy(o);
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  Dc* dc = FindDc(hdc);
  Object* o = Find(object);
  if (!dc || !o) return nullptr;
  Object* old = nullptr;
  switch (o->kind) {
    case Kind::Pen:
      old = dc->state.pen;
      dc->state.pen = static_cast<Pen*>(o);
      break;
    case Kind::Brush:
      old = dc->state.brush;
      dc->state.brush = static_cast<Brush*>(o);
      break;
    case Kind::Font:
      old = dc->state.font;
      dc->state.font = static_cast<Font*>(o);
      break;
    case Kind::Bitmap: {
      auto* b = static_cast<Bitmap*>(o);
      if (!dc->memory) return nullptr;
      if (b == dc->bitmap) return object;
      // A bitmap lives in one DC at a time (the shared default one excepted).
      if (b->selectedIn != 0 && !b->stock) return nullptr;
      old = dc->bitmap;
      if (dc->bitmap) dc->bitmap->selectedIn = 0;
      dc->bitmap = b;
      if (!b->stock) b->selectedIn = dc->handle;
      break;
    }
    case Kind::Dc: return nullptr;
  }
  HGDIOBJ result = reinterpret_cast<HGDIOBJ>(old ? old->handle : 0);
  if (old == o) return result;
  Retain(o);
  Release(old);
  return result;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  Dc* dc = FindDc(hdc);
  if (!dc) return nullptr;
  Object* o = nullptr;
  switch (type) {
    case OBJ_PEN: o = dc->state.pen; break;
    case OBJ_BRUSH: o = dc->state.brush; break;
    case OBJ_FONT: o = dc->state.font; break;
    case OBJ_BITMAP: o = dc->memory ? dc->bitmap : nullptr; break;
    default: break;
  }
  return o ? reinterpret_cast<HGDIOBJ>(o->handle) : nullptr;
}

// ---- Device contexts --------------------------------------------------------------------
HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !FindDc(hdc)) return nullptr;
  Dc* dc = NewDc();
  dc->memory = true;
  dc->bitmap = DefaultBitmap();
  Retain(dc->bitmap);
  return HandleOf<HDC>(Register(dc));
}

BOOL DeleteDC(HDC hdc) {
  Dc* dc = FindDc(hdc);
  if (!dc) return FALSE;
  DestroyDc(dc);
  return TRUE;
}

HDC GetDC(HWND hwnd) {
  if (!hwnd) return NewWindowDc(nullptr, true, nullptr);  // the screen: measures, draws nowhere
  return CreateWindowDC(hwnd, true, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
  if (!hwnd) return NewWindowDc(nullptr, false, nullptr);
  return CreateWindowDC(hwnd, false, nullptr);
}

int ReleaseDC(HWND, HDC hdc) {
  Dc* dc = FindDc(hdc);
  if (!dc || dc->memory) return 0;
  DestroyDc(dc);
  return 1;
}

HWND WindowFromDC(HDC hdc) {
  Dc* dc = FindDc(hdc);
  return (dc && !dc->memory) ? dc->hwnd : nullptr;
}

int SaveDC(HDC hdc) {
  Dc* dc = FindDc(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->state);
  RetainState(dc->state);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDc) {
  Dc* dc = FindDc(hdc);
  if (!dc) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  int level = savedDc < 0 ? depth + 1 + savedDc : savedDc;
  if (level < 1 || level > depth) return FALSE;
  while (static_cast<int>(dc->saved.size()) > level) {
    ReleaseState(dc->saved.back());
    dc->saved.pop_back();
  }
  DcState restored = dc->saved.back();
  dc->saved.pop_back();
  ReleaseState(dc->state);  // the saved copy keeps its own references
  dc->state = restored;
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  if (!FindDc(hdc)) return 0;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case HORZRES: return CurrentScreen().Width();
    case VERTRES: return CurrentScreen().Height();
    default: return 0;
  }
}

// ---- Attributes -------------------------------------------------------------------------
int SetBkMode(HDC hdc, int mode) {
  Dc* dc = FindDc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int old = dc->state.bkMode;
  dc->state.bkMode = mode;
  return old;
}

int GetBkMode(HDC hdc) {
  Dc* dc = FindDc(hdc);
  return dc ? dc->state.bkMode : 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  Dc* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->state.bkColor;
  dc->state.bkColor = color & 0x00FFFFFFu;
  return old;
}

COLORREF GetBkColor(HDC hdc) {
  Dc* dc = FindDc(hdc);
  return dc ? dc->state.bkColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  Dc* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->state.textColor;
  dc->state.textColor = color & 0x00FFFFFFu;
  return old;
}

COLORREF GetTextColor(HDC hdc) {
  Dc* dc = FindDc(hdc);
  return dc ? dc->state.textColor : CLR_INVALID;
}

UINT SetTextAlign(HDC hdc, UINT align) {
  Dc* dc = FindDc(hdc);
  if (!dc) return GDI_ERROR;
  UINT old = dc->state.textAlign;
  dc->state.textAlign = align;
  return old;
}

UINT GetTextAlign(HDC hdc) {
  Dc* dc = FindDc(hdc);
  return dc ? dc->state.textAlign : GDI_ERROR;
}
