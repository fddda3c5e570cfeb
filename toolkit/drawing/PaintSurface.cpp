#include "toolkit/drawing/PaintSurface.h"

#include "toolkit/drawing/FontDescription.h"
#include "toolkit/elements/GUIElement.h"
#include "toolkit/elements/TextConversion.h"

namespace TivraUtility {

namespace {

constexpr int kTextBufferLength = 1024;  // at most 1023 characters plus the terminator

}  // namespace

PaintSurface::PaintSurface(GUIElement* ownerElement) : owner(ownerElement) {}

PaintSurface::~PaintSurface() {
  // A surface dropped while buffering still owns its off-screen objects; the window's own
  // context belongs to its painting and is left alone.
  if (windowDc != nullptr && dc != nullptr) {
    if (replacedBitmap_ != nullptr) SelectObject(dc, replacedBitmap_);
    DeleteDC(dc);
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
}

RECT PaintSurface::BufferRect() const {
  RECT rect{};
  HWND window = WindowFromDC(windowDc);
  if (window == nullptr || !GetClientRect(window, &rect)) rect = paintInfo.rcPaint;
  return rect;
}

void PaintSurface::BeginBuffering() {
  // Idle, or already buffering: nothing to do (a second call must not lose the window context).
  if (dc == nullptr || windowDc != nullptr) return;
  windowDc = dc;
  const RECT rect = BufferRect();
  dc = CreateCompatibleDC(windowDc);
  // A new bitmap is all zero bits: whatever is not drawn stays black.
  bitmap = CreateCompatibleBitmap(windowDc, rect.right - rect.left, rect.bottom - rect.top);
  replacedBitmap_ = static_cast<HBITMAP>(SelectObject(dc, bitmap));
}

void PaintSurface::DrawWideText(int x, int y, int width, int height, const std::wstring& text,
                                COLORREF color, FontDescription* font, TextAlign align) {
  if (dc == nullptr) return;
  SetBkMode(dc, TRANSPARENT);

  WCHAR buffer[kTextBufferLength] = {};
  int length = 0;
  for (wchar_t c : text) {
    if (c == 0 || length == kTextBufferLength - 1) break;
    buffer[length++] = static_cast<WCHAR>(c);
  }

  UINT format = DT_LEFT;
  if (align == TextAlignRight) format = DT_RIGHT;
  if (align == TextAlignCenter) format = DT_CENTER;
  RECT box{x, y, x + width, y + height};

  HGDIOBJ replacedFont = nullptr;
  if (font != nullptr) replacedFont = SelectObject(dc, font->GetFont());
  const COLORREF previousColor = SetTextColor(dc, color);
  if (width != 0 && height != 0) {
    DrawTextW(dc, buffer, length, &box, format);
  } else {
    TextOutW(dc, x, y, buffer, length);
  }
  SetTextColor(dc, previousColor);
  if (font != nullptr) SelectObject(dc, replacedFont);
}

void PaintSurface::DrawNarrowText(int x, int y, int width, int height, const std::string& text,
                                  COLORREF color, FontDescription* font, TextAlign align) {
  DrawWideText(x, y, width, height, ToWide(text), color, font, align);
}

void PaintSurface::DrawRectangle(int left, int top, int width, int height, COLORREF color) {
  if (dc == nullptr) return;
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ replacedBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  HGDIOBJ replacedPen = SelectObject(dc, pen);
  Rectangle(dc, left, top, left + width, top + height);
  SelectObject(dc, replacedPen);
  SelectObject(dc, replacedBrush);
  DeleteObject(pen);
}

void PaintSurface::FillRectangle(int penWidth, COLORREF penColor, int left, int top, int width,
                                 int height, COLORREF fillColor) {
  if (dc == nullptr) return;
  HPEN pen = penWidth > 0 ? CreatePen(PS_SOLID, penWidth, penColor) : CreatePen(PS_NULL, 1, penColor);
  HBRUSH brush = CreateSolidBrush(fillColor);
  HGDIOBJ replacedPen = SelectObject(dc, pen);
  HGDIOBJ replacedBrush = SelectObject(dc, brush);
  Rectangle(dc, left, top, left + width, top + height);
  SelectObject(dc, replacedPen);
  SelectObject(dc, replacedBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void PaintSurface::EndDrawing() {
  if (dc == nullptr) return;
  if (windowDc != nullptr) {
    const RECT rect = BufferRect();
    BitBlt(windowDc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dc, 0, 0,
           SRCCOPY);
    if (replacedBitmap_ != nullptr) SelectObject(dc, replacedBitmap_);
    replacedBitmap_ = nullptr;
    DeleteDC(dc);
    if (bitmap != nullptr) DeleteObject(bitmap);
    bitmap = nullptr;
    dc = windowDc;
    windowDc = nullptr;
  }
  if (owner != nullptr) EndPaint(owner->handle, &paintInfo);
  dc = nullptr;
}

}  // namespace TivraUtility
