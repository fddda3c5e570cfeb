// Private structures of the GDI part of the core: the object table, device contexts, drawing
// targets and the font cache. Only gdi_*.cpp and font_*.cpp include this header.
#pragma once

#include "internal.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace winplat::gdi {

// ---- Colours ----------------------------------------------------------------------------
// COLORREF is 0x00BBGGRR; surface pixels are 0x00RRGGBB.
inline std::uint32_t ToPixel(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF ToColorRef(std::uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// ---- Fonts (font_*.cpp) -----------------------------------------------------------------
struct FontMetrics {
  int height = 0;           // ascent + descent: the text cell
  int ascent = 0;           // baseline below the cell top
  int descent = 0;
  int internalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = FW_NORMAL;
  bool fixedPitch = false;
  bool italic = false;
};

// One rendered glyph: coverage 0..255 (255 = full ink), placed relative to the pen position
// on the baseline.
struct Glyph {
  int left = 0;      // first column relative to the pen x
  int top = 0;       // first row relative to the baseline (negative: above it)
  int width = 0;
  int height = 0;
  int advance = 0;   // pixels to the next pen position
  std::vector<std::uint8_t> coverage;  // width*height
};

// A face at one pixel size and rendering mode, with its glyph cache. Shared by every font
// object that resolves to the same face, size and mode.
class FontInstance {
 public:
  virtual ~FontInstance() = default;
  virtual const FontMetrics& Metrics() const = 0;
  virtual const Glyph& GlyphFor(char32_t ch) = 0;
  virtual std::wstring FamilyName() const = 0;
};

// Resolves the requested font through fontconfig (falling back to an installed face) and
// returns the shared instance; never null (a last-resort empty face draws nothing).
std::shared_ptr<FontInstance> ResolveFont(const LOGFONTW& requested);
// The default font of every device context: metrics forced to the screen's default font
// (height and average width), drawn legibly inside that cell.
std::shared_ptr<FontInstance> SystemFontInstance();

// ---- Objects ----------------------------------------------------------------------------
enum class Kind : std::uint8_t { Pen, Brush, Font, Bitmap, Dc };

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
  bool stock = false;
  bool deletePending = false;  // DeleteObject while selected: goes when deselected
  int selected = 0;            // number of device contexts it is selected into
  std::uintptr_t handle = 0;
};

struct Pen : Object {
  Pen() : Object(Kind::Pen) {}
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct Brush : Object {
  Brush() : Object(Kind::Brush) {}
  int style = BS_SOLID;
  COLORREF color = 0;
};

struct Font : Object {
  Font() : Object(Kind::Font) {}
  LOGFONTW requested{};
  bool systemDefault = false;              // the stock SYSTEM_FONT
  std::shared_ptr<FontInstance> instance;  // resolved on first use
  FontInstance& Instance();
};

struct Bitmap : Object {
  Bitmap() : Object(Kind::Bitmap) {}
  Surface surface;
  int bitsPixel = 32;
  std::uintptr_t selectedIn = 0;  // memory DC holding it (a bitmap lives in one DC at a time)
};

struct DcState {
  Pen* pen = nullptr;
  Brush* brush = nullptr;
  Font* font = nullptr;
  int bkMode = OPAQUE;
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT position{0, 0};
};

struct Dc : Object {
  Dc() : Object(Kind::Dc) {}
  bool memory = false;
  HWND hwnd = nullptr;  // window DCs; null with !memory: the screen DC (draws nowhere)
  bool client = true;
  bool hasClip = false;
  RECT clip{0, 0, 0, 0};  // client coordinates
  Bitmap* bitmap = nullptr;  // memory DCs
  DcState state;
  std::vector<DcState> saved;
};

// Looks a handle up; null when it is not a live object of that kind.
Object* Find(const void* handle);
template <class T>
T* FindAs(const void* handle, Kind kind) {
  Object* o = Find(handle);
  return (o && o->kind == kind) ? static_cast<T*>(o) : nullptr;
}
inline Dc* FindDc(HDC hdc) { return FindAs<Dc>(hdc, Kind::Dc); }

// ---- Drawing targets --------------------------------------------------------------------
// Where a DC's drawing lands right now: the surface, the offset from logical (client)
// coordinates to surface coordinates, and the clip in surface coordinates.
struct Target {
  Surface* surface = nullptr;
  int ox = 0, oy = 0;
  RECT clip{0, 0, 0, 0};
  HWND hwnd = nullptr;  // window to tell about changes, null for bitmaps
  RECT changed{0, 0, 0, 0};
  void Touch(const RECT& r);  // r in surface coordinates, already clipped
};
bool ResolveTarget(Dc& dc, Target& t);
void Flush(Target& t);  // reports the changed rectangle to the window, if any

inline RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
         a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}
inline bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Fills a surface rectangle (surface coordinates) inside the target's clip.
void FillSurface(Target& t, RECT r, std::uint32_t pixel);

// Draws a run of text with its pen starting at (x, y) in logical coordinates, the top of the
// text cell at y; width is the run's advance (RunWidth, or the sum of dx); clip (logical)
// optionally narrows drawing further. Opaque fills the text cell with the background colour
// first. Returns the width.
int DrawTextRun(Dc& dc, Target& t, int x, int y, const std::u32string& text, int width,
                const INT* dx, const RECT* clip, bool opaque);
std::u32string Decode(LPCWSTR text, int count);
int RunWidth(FontInstance& font, const std::u32string& text);

}  // namespace winplat::gdi
