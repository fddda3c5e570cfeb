#include "toolkit/elements/GUIElement.h"

#include <algorithm>
#include <vector>

#include "toolkit/elements/TextConversion.h"
#include "toolkit/elements/ToolTips.h"

namespace TivraUtility {

// Constant-initialised: empty before any element of any translation unit is constructed.
constinit std::vector<GUIElement*> ElementRegistry;

GUIElement::GUIElement(HINSTANCE instanceHandle) : instance(instanceHandle) {
  ElementRegistry.push_back(this);
}

GUIElement::~GUIElement() {
  auto entry = std::find(ElementRegistry.begin(), ElementRegistry.end(), this);
  if (entry != ElementRegistry.end()) ElementRegistry.erase(entry);
}

void GUIElement::SetText(const std::wstring& value) {
  if (value == text) return;
  text = value;
  if (created) SetWindowTextW(handle, text.c_str());
}

void GUIElement::SetText(const std::string& value) { SetText(ToWide(value)); }

int GUIElement::LeftButtonUp(int px, int py) {
  return onLeftButtonUp ? onLeftButtonUp(this, handle, px, py) : 0;
}
int GUIElement::LeftButtonDown(int px, int py) {
  return onLeftButtonDown ? onLeftButtonDown(this, handle, px, py) : 0;
}
int GUIElement::LeftDoubleClick(int px, int py) {
  return onLeftDoubleClick ? onLeftDoubleClick(this, handle, px, py) : 0;
}
int GUIElement::RightButtonUp(int px, int py) {
  return onRightButtonUp ? onRightButtonUp(this, handle, px, py) : 0;
}
int GUIElement::RightButtonDown(int px, int py) {
  return onRightButtonDown ? onRightButtonDown(this, handle, px, py) : 0;
}
int GUIElement::RightDoubleClick(int px, int py) {
  return onRightDoubleClick ? onRightDoubleClick(this, handle, px, py) : 0;
}
int GUIElement::KeyUp(UINT virtualKey) { return onKeyUp ? onKeyUp(this, virtualKey) : 0; }
int GUIElement::KeyDown(UINT virtualKey) { return onKeyDown ? onKeyDown(this, virtualKey) : 0; }
bool GUIElement::CharTyped(UINT character) { return onChar ? onChar(this, character) : true; }
int GUIElement::MouseMove(int px, int py) { return onMouseMove ? onMouseMove(this, px, py) : 0; }
int GUIElement::MouseHover() { return onMouseHover ? onMouseHover(this) : 0; }
int GUIElement::MouseLeave() { return onMouseLeave ? onMouseLeave(this) : 0; }

void GUIElement::TakeFocus() {
  if (created) SetFocus(handle);
}

int GUIElement::Moved() {
  GetPosition();
  return onMove ? onMove(this) : 0;
}

int GUIElement::Resized() { return onSize ? onSize(this) : 0; }

int GUIElement::Paint() {
  if (backgroundPainted) SetBackgroundColor(backgroundColor);
  return onPaint ? onPaint(this) : 0;
}

HBRUSH GUIElement::ControlColor(HDC) { return nullptr; }

bool GUIElement::CloseRequested() { return onClose ? onClose(this) : true; }

void GUIElement::Destroyed() {
  if (onDestroy) onDestroy(this);
  destroyed = true;
}

int GUIElement::GotFocus() {
  focusText = GetText();
  return onGotFocus ? onGotFocus(this) : 0;
}

int GUIElement::LostFocus() {
  const int result = onLostFocus ? onLostFocus(this) : 0;
  if (GetText() != focusText && onChange) onChange(this);
  return result;
}

void GUIElement::Created(HWND nativeHandle) {
  if (handle == nullptr) handle = nativeHandle;
  if (!createNotified && onCreate) onCreate(this, handle);
  createNotified = true;
}

void GUIElement::Refresh() {
  if (created) RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

bool GUIElement::WantsWaitCursor() { return waitCursor; }
bool GUIElement::WantsHandCursor() { return handCursor; }
void GUIElement::SetWaitCursor(bool value) { waitCursor = value; }
void GUIElement::SetHandCursor(bool value) { handCursor = value; }

std::wstring GUIElement::GetText() {
  if (created) {
    const int length = GetWindowTextLengthW(handle);
    if (length < 1) {
      text.clear();
    } else {
      std::vector<WCHAR> buffer(static_cast<std::size_t>(length) + 1, 0);
      const int copied = GetWindowTextW(handle, buffer.data(), length + 1);
      if (copied != 0) text = buffer.data();  // up to the terminator
    }
  }
  return text;
}

std::string GUIElement::GetNarrowText() { return ToNarrow(GetText()); }

POINT GUIElement::GetPosition() {
  if (created) {
    RECT rect{};
    GetWindowRect(handle, &rect);
    POINT corner{rect.left, rect.top};
    if (parent != nullptr) ScreenToClient(parent->handle, &corner);
    x = corner.x;
    y = corner.y;
  }
  return POINT{x, y};
}

void GUIElement::SetBackgroundColor(COLORREF color) {
  backgroundColor = color;
  if (!created) return;
  InvalidateRect(handle, nullptr, FALSE);
  RECT rect{};
  GetClientRect(handle, &rect);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(handle, &paint);
  SetBkColor(dc, backgroundColor);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0, nullptr);
  EndPaint(handle, &paint);
  backgroundPainted = true;
}

int GUIElement::GetWidth() {
  if (created) {
    RECT rect{};
    GetWindowRect(handle, &rect);
    width = rect.right - rect.left;
  }
  return width;
}

int GUIElement::GetHeight() {
  if (created) {
    RECT rect{};
    GetWindowRect(handle, &rect);
    height = rect.bottom - rect.top;
  }
  return height;
}

// The client size is reported but not stored: `width` and `height` hold the whole window's size,
// and overwriting them with the client size would lose it.
int GUIElement::GetClientWidth() {
  if (!created) return width;
  RECT rect{};
  GetClientRect(handle, &rect);
  return rect.right - rect.left;
}

int GUIElement::GetClientHeight() {
  if (!created) return height;
  RECT rect{};
  GetClientRect(handle, &rect);
  return rect.bottom - rect.top;
}

void GUIElement::SetSize(int newWidth, int newHeight) {
  width = newWidth;
  height = newHeight;
  if (!created) return;
  SetWindowPos(handle, nullptr, x, y, newWidth, newHeight, SWP_NOZORDER | SWP_NOMOVE);
  UpdateToolTip(this);
  Refresh();
}

void GUIElement::SetPosition(int newX, int newY) {
  x = newX;
  y = newY;
  if (!created) return;
  SetWindowPos(handle, nullptr, newX, newY, width, height, SWP_NOZORDER | SWP_NOSIZE);
  Refresh();
}

}  // namespace TivraUtility
