// The drawing target of one window: draws straight onto a device context, or into an off-screen
// bitmap of the client area that EndDrawing copies onto the window in one step.
//
// Use: set `dc` (for example from BeginPaint(owner->handle, &paintInfo)), optionally
// BeginBuffering, draw, EndDrawing. While `dc` is null every drawing operation does nothing.
#pragma once

#include <windows.h>

#include <string>

namespace TivraUtility {

class GUIElement;
class FontDescription;

enum TextAlign : int { TextAlignLeft = 0, TextAlignRight = 1, TextAlignCenter = 2 };

class PaintSurface {
 public:
  explicit PaintSurface(GUIElement* owner);
  ~PaintSurface();
  PaintSurface(const PaintSurface&) = delete;
  PaintSurface& operator=(const PaintSurface&) = delete;

  void BeginBuffering();
  // Text in a colour and font (null: the context's current font). With a zero width or height the
  // text is drawn at (x, y), unconfined and left-aligned; otherwise in the box, top-aligned.
  // At most the first 1023 characters are drawn.
  void DrawWideText(int x, int y, int width, int height, const std::wstring& text, COLORREF color,
                    FontDescription* font, TextAlign align);
  void DrawNarrowText(int x, int y, int width, int height, const std::string& text,
                      COLORREF color, FontDescription* font, TextAlign align);
  // A one-pixel outline; the inside keeps what was there.
  void DrawRectangle(int left, int top, int width, int height, COLORREF color);
  // A filled rectangle; penWidth 0 draws no border.
  void FillRectangle(int penWidth, COLORREF penColor, int left, int top, int width, int height,
                     COLORREF fillColor);
  // Copies a buffered image onto the window, ends the window's painting; the surface goes idle.
  void EndDrawing();

  GUIElement* owner = nullptr;  // not owned
  HDC dc = nullptr;
  HDC windowDc = nullptr;
  HBITMAP bitmap = nullptr;
  PAINTSTRUCT paintInfo{};

 private:
  RECT BufferRect() const;
  HBITMAP replacedBitmap_ = nullptr;
};

}  // namespace TivraUtility
