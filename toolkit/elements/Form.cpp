#include "toolkit/elements/Form.h"

#include "toolkit/dispatch/WindowProcedure.h"
#include "toolkit/drawing/FontDescription.h"
#include "toolkit/elements/TextConversion.h"
#include "toolkit/elements/ToolTips.h"

namespace TivraUtility {

int ElementIdCounter = 0;
HWND MainWindow = nullptr;

namespace {

constexpr DWORD kTitledStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;  // 0x10C80000

}  // namespace

FormWindowStyle ComputeFormStyle(bool minimizeBox, bool resizable, bool titleBar, bool dialogMode,
                                 bool enabled) {
  FormWindowStyle result;
  if (dialogMode) {
    result.style = kTitledStyle | WS_MAXIMIZEBOX;
    result.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  } else if (titleBar) {
    result.style = kTitledStyle;
    if (minimizeBox) result.style |= WS_MINIMIZEBOX;
    if (resizable) result.style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
  } else {
    result.style = WS_POPUP;
  }
  if (!enabled) result.style |= WS_DISABLED;
  return result;
}

std::wstring FormClassName(long long n) { return L"Window" + Int64ToWide(n); }

Form::Form(HINSTANCE instanceHandle) : GUIElement(instanceHandle) { kind = "form"; }

Form::~Form() {
  // The class and its brush go with the form once its window is gone; while the window lives
  // the class is still in use and both are left to the end of the process.
  const bool windowGone = destroyed || handle == nullptr;
  if (classRegistered_ && !windowGone) return;
  if (classRegistered_) UnregisterClassW(className_.c_str(), instance);
  if (ownedBrush_ != nullptr) DeleteObject(ownedBrush_);
}

void Form::Create() {
  if (created) return;
  const std::wstring caption = text;

  const int n = ElementIdCounter;
  ElementIdCounter = n + 1;
  className_ = FormClassName(n);
  id = ElementIdCounter;

  HBRUSH brush = nullptr;
  if (backgroundColor == SystemFaceColor) {
    brush = GetSysColorBrush(COLOR_BTNFACE);
  } else {
    ownedBrush_ = CreateSolidBrush(backgroundColor);
    brush = ownedBrush_;
  }
  windowClass = WNDCLASSW{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = brush;
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = className_.c_str();
  classRegistered_ = RegisterClassW(&windowClass) != 0;

  const FormWindowStyle style = ComputeFormStyle(minimizeBox, resizable, titleBar, dialogMode, enabled);
  // Messages sent during creation already reach this form through the window procedure.
  handle = CreateWindowExW(style.exStyle, className_.c_str(), caption.c_str(), style.style, x, y,
                           width, height, nullptr, nullptr, instance, nullptr);
  if (MainWindow == nullptr) MainWindow = handle;
  Created(handle);

  ShowWindow(handle, SW_SHOW);
  UpdateWindow(handle);
  created = true;

  CreateToolTip(this, handle);
  if (font != nullptr) {
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetFont()), TRUE);
  }
}

}  // namespace TivraUtility
