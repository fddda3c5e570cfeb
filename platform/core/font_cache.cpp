// Fonts: faces found through fontconfig, rendered with FreeType, cached per face, size and
// rendering mode, with a glyph cache in each.
#include "gdi_private.h"

#include "screen.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <tuple>

namespace winplat::gdi {
namespace {

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) {
    auto u = static_cast<std::uint32_t>(c);
    if (u < 0x80) {
      s += static_cast<char>(u);
    } else if (u < 0x800) {
      s += static_cast<char>(0xC0 | (u >> 6));
      s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      s += static_cast<char>(0xE0 | ((u >> 12) & 0x0F));
      s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return s;
}

std::wstring Widen(const char* s) {
  std::wstring w;
  for (; s && *s; ++s) w += static_cast<wchar_t>(static_cast<unsigned char>(*s));
  return w;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

struct FaceFile {
  std::string path;
  int index = 0;
  std::string family;
  bool needsBold = false;    // bold asked for, the face is not: embolden
  bool needsItalic = false;  // italic asked for, the face is upright: slant
};

bool MatchFace(const std::vector<std::string>& families, bool bold, bool italic, bool mono,
               FaceFile* out) {
  FcPattern* pattern = FcPatternCreate();
  for (const std::string& f : families)
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(f.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (mono) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  FcChar8* family = nullptr;
  int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (ok) {
    out->path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    out->index = index;
    out->family = (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family)
                      ? reinterpret_cast<const char*>(family)
                      : "";
    out->needsBold = bold && weight < FC_WEIGHT_DEMIBOLD;
    out->needsItalic = italic && slant == FC_SLANT_ROMAN;
  }
  FcPatternDestroy(match);
  return ok;
}

// Is a family of this name installed (not merely substituted by fontconfig)?
bool Installed(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  bool found = set && set->nfont > 0;
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

enum class Generic { Mono, Sans, Serif };

// The installed face for a request: the named family when installed, otherwise a generic
// face of the asked pitch and family (monospace unless a proportional face was asked for).
FaceFile FindFace(const std::string& face, bool bold, bool italic, Generic generic) {
  static std::map<std::tuple<std::string, bool, bool, Generic>, FaceFile> cache;
  static const bool initialised = [] {
    if (FcInit() != FcTrue) return false;
    std::atexit(FcFini);  // hand fontconfig's caches back at exit
    return true;
  }();
  auto key = std::make_tuple(Lower(face), bold, italic, generic);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  FaceFile found;
  bool ok = false;
  if (initialised && !face.empty() && Installed(face)) ok = MatchFace({face}, bold, italic, false, &found);
  if (initialised && !ok) {
    switch (generic) {
      case Generic::Mono:
        ok = MatchFace({"DejaVu Sans Mono", "Liberation Mono", "monospace"}, bold, italic, true,
                       &found);
        break;
      case Generic::Sans:
        ok = MatchFace({"DejaVu Sans", "Liberation Sans", "sans-serif"}, bold, italic, false,
                       &found);
        break;
      case Generic::Serif:
        ok = MatchFace({"DejaVu Serif", "Liberation Serif", "serif"}, bold, italic, false, &found);
        break;
    }
  }
  if (!ok) {
    // Without any installed face nothing legible can be drawn. A screen that shows characters
    // (the terminal) does not need one; every other screen does, so say what is missing.
    if (!CurrentScreen().ShowsText()) {
      std::fprintf(stderr,
                   "zerlo: no usable font: fontconfig finds no scalable face (asked for %s%s%s) "
                   "nor a generic fallback; install fonts-dejavu-core\n",
                   face.empty() ? "the default face" : "\"", face.c_str(), face.empty() ? "" : "\"");
      std::fflush(stderr);
      std::_Exit(1);
    }
    found = FaceFile{};
  }
  cache[key] = found;
  return found;
}

// How the face is sized: the height of the text cell (ascent + descent), or of the em.
struct SizeRequest {
  bool cellHeight = true;
  int pixels = 16;
};

class FreeTypeFont final : public FontInstance {
 public:
  FreeTypeFont(const FaceFile& file, SizeRequest size, bool mono, LONG weight, bool italic)
      : file_(file), mono_(mono) {
    metrics_.weight = weight;
    metrics_.italic = italic;
    FT_Library lib = Library();
    if (lib && !file.path.empty() &&
        FT_New_Face(lib, file.path.c_str(), file.index, &face_) != 0)
      face_ = nullptr;
    if (!face_) {
      metrics_.height = size.pixels > 0 ? size.pixels : 16;
      metrics_.ascent = metrics_.height * 4 / 5;
      metrics_.descent = metrics_.height - metrics_.ascent;
      metrics_.aveCharWidth = std::max(1, metrics_.height / 2);
      metrics_.maxCharWidth = metrics_.aveCharWidth;
      metrics_.fixedPitch = true;
      return;
    }
    const double upm = face_->units_per_EM > 0 ? face_->units_per_EM : 1000;
    double asc = face_->ascender, desc = -face_->descender;
    double avg = 0;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2))) {
      if (os2->usWinAscent + os2->usWinDescent > 0) {
        asc = os2->usWinAscent;
        desc = os2->usWinDescent;
      }
      avg = os2->xAvgCharWidth;
    }
    if (asc + desc <= 0) {
      asc = upm * 0.8;
      desc = upm * 0.2;
    }
    const double em = size.cellHeight ? size.pixels * upm / (asc + desc) : size.pixels;
    FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
    const double scale = em / upm;
    metrics_.ascent = static_cast<int>(std::lround(asc * scale));
    metrics_.descent = static_cast<int>(std::lround(desc * scale));
    if (size.cellHeight) metrics_.descent = size.pixels - metrics_.ascent;
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.internalLeading = std::max(0, metrics_.height - static_cast<int>(std::lround(em)));
    metrics_.fixedPitch = FT_IS_FIXED_WIDTH(face_);
    int avgPx = static_cast<int>(std::lround(avg * scale));
    if (avgPx <= 0 || metrics_.fixedPitch) avgPx = GlyphFor(U'x').advance;
    metrics_.aveCharWidth = std::max(1, avgPx);
    metrics_.maxCharWidth =
        std::max(metrics_.aveCharWidth,
                 static_cast<int>(std::lround(face_->max_advance_width * scale)));
  }
  ~FreeTypeFont() override {
    if (face_) FT_Done_Face(face_);
  }
  FreeTypeFont(const FreeTypeFont&) = delete;
  FreeTypeFont& operator=(const FreeTypeFont&) = delete;

  const FontMetrics& Metrics() const override { return metrics_; }

  const Glyph& GlyphFor(char32_t ch) override {
    if (ch < latin_.size()) {
      if (!latinLoaded_[ch]) {
        latin_[ch] = Render(ch);
        latinLoaded_[ch] = true;
      }
      return latin_[ch];
    }
    auto it = others_.find(ch);
    if (it == others_.end()) it = others_.emplace(ch, Render(ch)).first;
    return it->second;
  }

  std::wstring FamilyName() const override { return Widen(file_.family.c_str()); }

  // The system font keeps the screen's cell metrics whatever the face says.
  void ForceMetrics(int height, int averageWidth) {
    const int extra = height - metrics_.height;
    metrics_.ascent += extra / 2;  // centre the face's cell in the forced one
    metrics_.height = height;
    metrics_.descent = height - metrics_.ascent;
    metrics_.aveCharWidth = averageWidth;
    metrics_.maxCharWidth = std::max(metrics_.maxCharWidth, averageWidth);
  }

 private:
  Glyph Render(char32_t ch) {
    Glyph g;
    if (!face_) {
      g.advance = metrics_.aveCharWidth;
      return g;
    }
    // Control characters (a tab in a menu text, say) take the room of a space and show nothing.
    if (ch < 0x20 || ch == 0x7F) {
      g.advance = GlyphFor(U' ').advance;
      return g;
    }
    FT_Int32 flags = mono_ ? (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Char(face_, ch, flags) != 0) return g;
    FT_GlyphSlot slot = face_->glyph;
    if (file_.needsBold) FT_GlyphSlot_Embolden(slot);
    if (file_.needsItalic) FT_GlyphSlot_Oblique(slot);
    if (FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return g;
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = -slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.assign(static_cast<std::size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
      const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
      for (int x = 0; x < g.width; ++x) {
        std::uint8_t a = 0;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
          a = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
          a = row[x];
        g.coverage[static_cast<std::size_t>(y) * g.width + x] = a;
      }
    }
    return g;
  }

  FaceFile file_;
  bool mono_ = false;
  FT_Face face_ = nullptr;
  FontMetrics metrics_;
  std::array<Glyph, 256> latin_{};
  std::array<bool, 256> latinLoaded_{};
  std::unordered_map<char32_t, Glyph> others_;
};

Generic GenericFor(BYTE pitchAndFamily) {
  const BYTE family = pitchAndFamily & 0xF0;
  if ((pitchAndFamily & 0x03) == VARIABLE_PITCH || family == FF_SWISS) return Generic::Sans;
  if (family == FF_ROMAN) return Generic::Serif;
  return Generic::Mono;
}

}  // namespace

std::shared_ptr<FontInstance> ResolveFont(const LOGFONTW& requested) {
  std::wstring faceName;
  for (int i = 0; i < LF_FACESIZE && requested.lfFaceName[i] != 0; ++i)
    faceName += requested.lfFaceName[i];
  const bool bold = requested.lfWeight >= FW_SEMIBOLD;
  const bool italic = requested.lfItalic != 0;
  const bool mono = requested.lfQuality == NONANTIALIASED_QUALITY;
  SizeRequest size;
  if (requested.lfHeight > 0) {
    size = {true, static_cast<int>(requested.lfHeight)};
  } else if (requested.lfHeight < 0) {
    size = {false, static_cast<int>(-static_cast<long long>(requested.lfHeight))};
  } else {
    size = {true, CurrentScreen().DefaultFont().height};
  }
  size.pixels = std::min(size.pixels, 2048);
  const Generic generic = GenericFor(requested.lfPitchAndFamily);
  FaceFile file = FindFace(Narrow(faceName), bold, italic, generic);

  using Key = std::tuple<std::string, int, bool, int, bool, bool, bool>;
  static std::map<Key, std::shared_ptr<FontInstance>> instances;
  Key key{file.path, file.index, size.cellHeight, size.pixels, mono, bold, italic};
  auto& slot = instances[key];
  if (!slot)
    slot = std::make_shared<FreeTypeFont>(file, size, mono, bold ? FW_BOLD : FW_NORMAL, italic);
  return slot;
}

std::shared_ptr<FontInstance> SystemFontInstance() {
  static std::shared_ptr<FontInstance> instance = [] {
    DefaultFontMetrics m = CurrentScreen().DefaultFont();
    FaceFile file = FindFace("", false, false, Generic::Sans);
    auto font = std::make_shared<FreeTypeFont>(file, SizeRequest{true, m.height}, false,
                                               FW_NORMAL, false);
    font->ForceMetrics(m.height, m.averageWidth);
    return font;
  }();
  return instance;
}

}  // namespace winplat::gdi
