// A font named by typeface, height and style flags; the native font is created on first use and
// kept until the description is destroyed.
#pragma once

#include <windows.h>

#include <string>

namespace TivraUtility {

class FontDescription {
 public:
  FontDescription();                                    // "System", height 0
  FontDescription(const std::string& face, int height);
  ~FontDescription();
  FontDescription(const FontDescription&) = delete;
  FontDescription& operator=(const FontDescription&) = delete;

  // The cached native font, created on first use; null while creation fails. Borrowed: callers
  // never delete it.
  HFONT GetFont();

  HFONT fontHandle = nullptr;  // owned
  std::wstring faceName;
  int fontHeight = 0;          // requested height in logical units; 0 lets the platform choose
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool fixedPitch = false;
};

}  // namespace TivraUtility
