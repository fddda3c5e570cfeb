#include "toolkit/drawing/FontDescription.h"

#include "toolkit/elements/TextConversion.h"

namespace TivraUtility {

FontDescription::FontDescription() : faceName(L"System") {}

FontDescription::FontDescription(const std::string& face, int height)
    : faceName(ToWide(face)), fontHeight(height) {}

FontDescription::~FontDescription() {
  if (fontHandle != nullptr) DeleteObject(fontHandle);
}

HFONT FontDescription::GetFont() {
  if (fontHandle != nullptr) return fontHandle;
  fontHandle = CreateFontW(fontHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? 1 : 0,
                           underline ? 1 : 0, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                           CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, fixedPitch ? 1 : 0,
                           faceName.c_str());
  return fontHandle;
}

}  // namespace TivraUtility
