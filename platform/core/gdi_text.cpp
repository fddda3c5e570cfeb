// GDI text: glyph runs blended into surfaces, ExtTextOutW/TextOutW, DrawTextW, measuring.
// Every character drawn goes through DrawTextRun, the one place that knows which character
// lands in which cell (a character-grid screen can hook in there).
#include "gdi_private.h"

#include <algorithm>
#include <cwchar>

using namespace winplat;
using namespace winplat::gdi;

namespace winplat::gdi {

std::u32string Decode(LPCWSTR text, int count) {
  std::u32string out;
  if (!text || count <= 0) return out;
  out.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    auto c = static_cast<std::uint32_t>(text[i]) & (sizeof(WCHAR) == 2 ? 0xFFFFu : 0xFFFFFFFFu);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < count) {
      auto low = static_cast<std::uint32_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    out += static_cast<char32_t>(c);
  }
  return out;
}

int RunWidth(FontInstance& font, const std::u32string& text) {
  int w = 0;
  for (char32_t c : text) w += font.GlyphFor(c).advance;
  return w;
}

namespace {

// Coverage blend of the text colour over the pixel, red and blue in one multiply, green in
// another; dividing by 255 with the usual shift-and-add rounding.
inline std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, std::uint32_t a) {
  const std::uint32_t inv = 255 - a;
  std::uint32_t rb = (src & 0xFF00FFu) * a + (dst & 0xFF00FFu) * inv + 0x800080u;
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  std::uint32_t g = (src & 0x00FF00u) * a + (dst & 0x00FF00u) * inv + 0x008000u;
  g = ((g + ((g >> 8) & 0x00FF00u)) >> 8) & 0x00FF00u;
  return rb | g;
}

void DrawGlyph(Target& t, const Glyph& g, int sx, int sy, std::uint32_t color) {
  if (g.width == 0 || g.height == 0) return;
  RECT box{sx, sy, sx + g.width, sy + g.height};
  RECT r = Intersect(box, t.clip);
  if (IsEmpty(r)) return;
  Surface& s = *t.surface;
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* cov = g.coverage.data() + static_cast<std::size_t>(y - sy) * g.width;
    std::uint32_t* row = s.pixels.data() + static_cast<std::size_t>(y) * s.width;
    for (int x = r.left; x < r.right; ++x) {
      const std::uint32_t a = cov[x - sx];
      if (a == 255) row[x] = color;
      else if (a != 0) row[x] = Blend(row[x], color, a);
    }
  }
  t.Touch(r);
}

}  // namespace

int DrawTextRun(Dc& dc, Target& t, int x, int y, const std::u32string& text, int width,
                const INT* dx, const RECT* clip, bool opaque) {
  Font* fontObject = dc.state.font;
  if (!fontObject) return 0;
  FontInstance& font = fontObject->Instance();
  const FontMetrics& m = font.Metrics();
  const RECT savedClip = t.clip;
  if (clip) {
    RECT c{clip->left + t.ox, clip->top + t.oy, clip->right + t.ox, clip->bottom + t.oy};
    t.clip = Intersect(t.clip, c);
  }
  const int sx = x + t.ox, sy = y + t.oy;
  if (opaque) FillSurface(t, RECT{sx, sy, sx + width, sy + m.height}, ToPixel(dc.state.bkColor));
  const std::uint32_t color = ToPixel(dc.state.textColor);
  const int baseline = sy + m.ascent;
  int pen = sx;
  Surface& surface = *t.surface;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Glyph& g = font.GlyphFor(text[i]);
    DrawGlyph(t, g, pen + g.left, baseline + g.top, color);
    // The text layer keeps which character this cell shows, at the cell's top-left corner.
    if (surface.HasTextLayer() && pen >= t.clip.left && pen < t.clip.right && sy >= t.clip.top &&
        sy < t.clip.bottom && pen >= 0 && pen < surface.width && sy >= 0 && sy < surface.height) {
      std::size_t at = static_cast<std::size_t>(sy) * surface.width + pen;
      surface.glyphChars[at] = text[i];
      surface.glyphColors[at] = color;
    }
    pen += dx ? dx[i] : g.advance;
  }
  const LOGFONTW& lf = fontObject->requested;
  const int thickness = std::max(1, m.height / 16);
  if (lf.lfUnderline) {
    const int uy = std::min(baseline + std::max(1, m.descent / 2), sy + m.height - thickness);
    FillSurface(t, RECT{sx, uy, sx + width, uy + thickness}, color);
  }
  if (lf.lfStrikeOut) {
    const int ky = baseline - m.ascent / 3;
    FillSurface(t, RECT{sx, ky, sx + width, ky + thickness}, color);
  }
  t.clip = savedClip;
  return width;
}

}  // namespace winplat::gdi

namespace {

int CountOf(LPCWSTR text, int count) {
  if (!text) return 0;
  if (count < 0) return static_cast<int>(std::wcslen(text));
  return count;
}

}  // namespace

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const INT* dx) {
  Dc* dc = FindDc(hdc);
  if (!dc || (!text && count > 0)) return FALSE;
  const std::u32string run = Decode(text, static_cast<int>(count));
  const DcState& st = dc->state;
  FontInstance* font = st.font ? &st.font->Instance() : nullptr;
  int width = 0;
  if (dx) {
    for (UINT i = 0; i < count; ++i) width += dx[i];
  } else if (font) {
    width = RunWidth(*font, run);
  }
  const UINT align = st.textAlign;
  if (align & TA_UPDATECP) {
    x = st.position.x;
    y = st.position.y;
  }
  int left = x;
  if ((align & TA_CENTER) == TA_CENTER) left = x - width / 2;
  else if (align & TA_RIGHT) left = x - width;
  int top = y;
  if (font) {
    if ((align & TA_BASELINE) == TA_BASELINE) top = y - font->Metrics().ascent;
    else if (align & TA_BOTTOM) top = y - font->Metrics().height;
  }
  if (align & TA_UPDATECP) {
    const bool rightAligned = (align & TA_CENTER) == TA_RIGHT;
    dc->state.position.x = rightAligned ? x - width : x + width;
  }
  Target t;
  if (!ResolveTarget(*dc, t)) return TRUE;
  if ((options & ETO_OPAQUE) && rect) {
    RECT r{rect->left + t.ox, rect->top + t.oy, rect->right + t.ox, rect->bottom + t.oy};
    FillSurface(t, r, ToPixel(st.bkColor));
  }
  if (!run.empty())
    DrawTextRun(*dc, t, left, top, run, width, dx, (options & ETO_CLIPPED) ? rect : nullptr,
                st.bkMode == OPAQUE);
  Flush(t);
  return TRUE;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
  if (count < 0) return FALSE;
  return ExtTextOutW(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
  Dc* dc = FindDc(hdc);
  if (!dc || !size || count < 0 || (!text && count > 0) || !dc->state.font) return FALSE;
  FontInstance& font = dc->state.font->Instance();
  size->cx = RunWidth(font, Decode(text, count));
  size->cy = font.Metrics().height;
  return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW tm) {
  Dc* dc = FindDc(hdc);
  if (!dc || !tm || !dc->state.font) return FALSE;
  const Font& f = *dc->state.font;
  const FontMetrics& m = dc->state.font->Instance().Metrics();
  *tm = TEXTMETRICW{};
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = m.internalLeading;
  tm->tmExternalLeading = 0;
  tm->tmAveCharWidth = m.aveCharWidth;
  tm->tmMaxCharWidth = m.maxCharWidth;
  tm->tmWeight = f.systemDefault ? FW_NORMAL : (f.requested.lfWeight ? f.requested.lfWeight : FW_NORMAL);
  tm->tmDigitizedAspectX = 96;
  tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = f.requested.lfItalic ? 255 : 0;
  tm->tmUnderlined = f.requested.lfUnderline ? 255 : 0;
  tm->tmStruckOut = f.requested.lfStrikeOut ? 255 : 0;
  // The pitch bit is set for a VARIABLE pitch font, as on the real platform.
  tm->tmPitchAndFamily = static_cast<BYTE>((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR |
                                           TMPF_TRUETYPE | (f.requested.lfPitchAndFamily & 0xF0));
  tm->tmCharSet = f.requested.lfCharSet;
  return TRUE;
}

int GetTextFaceW(HDC hdc, int count, LPWSTR faceName) {
  Dc* dc = FindDc(hdc);
  if (!dc || !dc->state.font) return 0;
  const std::wstring name = dc->state.font->Instance().FamilyName();
  if (!faceName) return static_cast<int>(name.size()) + 1;
  if (count <= 0) return 0;
  const int n = std::min(count - 1, static_cast<int>(name.size()));
  for (int i = 0; i < n; ++i) faceName[i] = name[static_cast<std::size_t>(i)];
  faceName[n] = 0;
  return n;
}

// ---- DrawTextW --------------------------------------------------------------------------
namespace {

struct Line {
  std::u32string text;
  std::vector<int> underlined;  // indexes of the characters that mnemonic prefixes mark
};

std::vector<Line> SplitLines(const std::u32string& all, UINT format, FontInstance& font) {
  std::vector<Line> lines(1);
  const bool prefix = !(format & DT_NOPREFIX);
  const int tabWidth = 8 * std::max(1, font.Metrics().aveCharWidth);
  for (std::size_t i = 0; i < all.size(); ++i) {
    char32_t c = all[i];
    if (c == U'\r' || c == U'\n') {
      if (format & DT_SINGLELINE) continue;
      if (c == U'\r' && i + 1 < all.size() && all[i + 1] == U'\n') ++i;
      lines.emplace_back();
      continue;
    }
    Line& line = lines.back();
    if (prefix && c == U'&') {
      if (i + 1 < all.size() && all[i + 1] == U'&') {
        ++i;
      } else {
        if (i + 1 < all.size() && !(format & DT_HIDEPREFIX))
          line.underlined.push_back(static_cast<int>(line.text.size()));
        continue;
      }
    }
    if (c == U'\t' && (format & DT_EXPANDTABS)) {
      const int w = RunWidth(font, line.text);
      const int spaces = std::max(1, (tabWidth - w % tabWidth) / std::max(1, font.GlyphFor(U' ').advance));
      line.text.append(static_cast<std::size_t>(spaces), U' ');
      continue;
    }
    line.text += c;
  }
  return lines;
}

}  // namespace

int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
  Dc* dc = FindDc(hdc);
  if (!dc || !rect || !dc->state.font) return 0;
  count = CountOf(text, count);
  FontInstance& font = dc->state.font->Instance();
  const FontMetrics& m = font.Metrics();
  const std::vector<Line> lines = SplitLines(Decode(text, count), format, font);
  const int lineHeight = m.height;
  const int total = lineHeight * static_cast<int>(lines.size());
  std::vector<int> widths;
  int maxWidth = 0;
  for (const Line& l : lines) {
    widths.push_back(RunWidth(font, l.text));
    maxWidth = std::max(maxWidth, widths.back());
  }
  if (format & DT_CALCRECT) {
    rect->right = rect->left + maxWidth;
    rect->bottom = rect->top + total;
    return total;
  }
  int top = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    else if (format & DT_BOTTOM) top = rect->bottom - lineHeight;
  }
  const int result = (top - rect->top) + total;
  Target t;
  if (!ResolveTarget(*dc, t)) return result;
  const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
  const bool opaque = dc->state.bkMode == OPAQUE;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    int left = rect->left;
    if (format & DT_CENTER) left = rect->left + (rect->right - rect->left - widths[i]) / 2;
    else if (format & DT_RIGHT) left = rect->right - widths[i];
    const int y = top + static_cast<int>(i) * lineHeight;
    DrawTextRun(*dc, t, left, y, l.text, widths[i], nullptr, clip, opaque);
    for (int index : l.underlined) {
      if (index >= static_cast<int>(l.text.size())) continue;
      const int ux = left + RunWidth(font, l.text.substr(0, static_cast<std::size_t>(index)));
      const int uw = font.GlyphFor(l.text[static_cast<std::size_t>(index)]).advance;
      const int uy = std::min(y + m.ascent + 1, y + m.height - 1);
      RECT u{ux + t.ox, uy + t.oy, ux + uw + t.ox, uy + 1 + t.oy};
      if (clip) u = Intersect(u, RECT{clip->left + t.ox, clip->top + t.oy, clip->right + t.ox,
                                      clip->bottom + t.oy});
      FillSurface(t, u, ToPixel(dc->state.textColor));
    }
  }
  Flush(t);
  return result;
}
