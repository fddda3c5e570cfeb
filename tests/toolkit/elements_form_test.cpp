#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/drawing/FontDescription.h"
#include "toolkit/elements/Form.h"

using TivraUtility::ComputeFormStyle;
using TivraUtility::Form;
using TivraUtility::FormClassName;
using TivraUtility::FormWindowStyle;
using TivraUtility::GUIElement;

namespace {

TEST(FormStyleTest, StyleBitsFollowTheFlags) {
  struct Case {
    bool minimizeBox, resizable, titleBar, dialogMode, enabled;
    DWORD style, exStyle;
  };
  const Case cases[] = {
      // The initial flags, then one flag changed at a time.
      {true, true, true, false, true, 0x10CF0000, 0},
      {true, false, true, false, true, 0x10CA0000, 0},
      {false, true, true, false, true, 0x10CD0000, 0},
      {false, false, true, false, true, 0x10C80000, 0},
      {true, true, false, false, true, 0x80000000, 0},
      {false, false, false, false, true, 0x80000000, 0},
      {true, true, true, true, true, 0x10C90000, 9},
      {true, true, true, false, false, 0x18CF0000, 0},
      // Dialog mode ignores the other three flags but not enabled.
      {false, false, false, true, true, 0x10C90000, 9},
      {false, false, false, true, false, 0x18C90000, 9},
      {true, true, false, false, false, 0x88000000, 0},
  };
  for (const Case& c : cases) {
    const FormWindowStyle s =
        ComputeFormStyle(c.minimizeBox, c.resizable, c.titleBar, c.dialogMode, c.enabled);
    EXPECT_EQ(s.style, c.style) << c.minimizeBox << c.resizable << c.titleBar << c.dialogMode << c.enabled;
    EXPECT_EQ(s.exStyle, c.exStyle) << c.minimizeBox << c.resizable << c.titleBar << c.dialogMode << c.enabled;
  }
}

TEST(FormStyleTest, ClassNamesCountFromWindow0) {
  EXPECT_EQ(FormClassName(0), L"Window0");
  EXPECT_EQ(FormClassName(1), L"Window1");
  EXPECT_EQ(FormClassName(42), L"Window42");
}

TEST(FormTest, ConstructionSetsTheFlagsAndCreatesNoWindow) {
  Form f(nullptr);
  EXPECT_TRUE(f.minimizeBox && f.resizable && f.titleBar);
  EXPECT_FALSE(f.dialogMode);
  EXPECT_TRUE(f.hotKeys.empty());
  EXPECT_EQ(f.kind, "form");
  EXPECT_FALSE(f.created);
  EXPECT_EQ(f.handle, nullptr);
  EXPECT_EQ(f.id, 0);
}

int createCalls = 0;
HWND createHandle = nullptr;
int CountCreate(GUIElement*, HWND handle) {
  ++createCalls;
  createHandle = handle;
  return 0;
}

// Forms on the headless screen, with the process-wide counter and main window set aside so that
// each test starts as the first form of a process.
class FormWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedCounter_ = TivraUtility::ElementIdCounter;
    savedMain_ = TivraUtility::MainWindow;
    TivraUtility::ElementIdCounter = 0;
    TivraUtility::MainWindow = nullptr;
    createCalls = 0;
    createHandle = nullptr;
  }
  void TearDown() override {
    // Not the main window any more: closing it must not end a message loop of a later test.
    TivraUtility::MainWindow = nullptr;
    for (auto& f : forms_) DestroyWindow(f->handle);
    forms_.clear();  // windows gone: the forms release their classes
    if (savedCounter_ > TivraUtility::ElementIdCounter) TivraUtility::ElementIdCounter = savedCounter_;
    TivraUtility::MainWindow = savedMain_;
  }
  // A form owned by the fixture, so that its window is destroyed before the form is.
  Form& NewForm(HINSTANCE instance = nullptr) {
    forms_.push_back(std::make_unique<Form>(instance));
    return *forms_.back();
  }
  static std::wstring ClassOf(HWND w) {
    WCHAR buffer[64] = {};
    GetClassNameW(w, buffer, 64);
    return buffer;
  }
  static std::wstring CaptionOf(HWND w) {
    WCHAR buffer[64] = {};
    GetWindowTextW(w, buffer, 64);
    return buffer;
  }
  static COLORREF ClientPixel(HWND w, int px, int py) {
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, px, py);
    ReleaseDC(w, dc);
    return c;
  }

  int savedCounter_ = 0;
  HWND savedMain_ = nullptr;
  std::vector<std::unique_ptr<Form>> forms_;
};

TEST_F(FormWindowTest, FirstAndSecondFormGetTheirClassIdentifierAndMainWindow) {
  Form& first = NewForm(GetModuleHandleW(nullptr));
  first.SetText("Zerlo01");  // stored before the window exists
  first.onCreate = CountCreate;
  first.Create();
  ASSERT_NE(first.handle, nullptr);
  EXPECT_TRUE(first.created);
  EXPECT_EQ(ClassOf(first.handle), L"Window0");
  EXPECT_EQ(first.id, 1);
  EXPECT_EQ(TivraUtility::MainWindow, first.handle);
  EXPECT_EQ(createCalls, 1);
  EXPECT_EQ(createHandle, first.handle);
  EXPECT_EQ(CaptionOf(first.handle), L"Zerlo01");
  EXPECT_TRUE(IsWindowVisible(first.handle));
  RECT r{};
  GetWindowRect(first.handle, &r);
  EXPECT_EQ(r.left, 100);  // the stored default position
  EXPECT_EQ(r.top, 100);

  Form& second = NewForm(GetModuleHandleW(nullptr));
  second.Create();
  EXPECT_EQ(ClassOf(second.handle), L"Window1");
  EXPECT_EQ(second.id, 2);
  EXPECT_EQ(TivraUtility::MainWindow, first.handle);

  // A second Create takes no identifier, registers nothing, notifies nobody.
  const HWND handle = first.handle;
  first.Create();
  EXPECT_EQ(first.handle, handle);
  EXPECT_EQ(first.id, 1);
  EXPECT_EQ(TivraUtility::ElementIdCounter, 2);
  EXPECT_EQ(createCalls, 1);

  // After creation the caption follows SetText at once.
  first.SetText(L"Altro titolo");
  EXPECT_EQ(CaptionOf(first.handle), L"Altro titolo");
}

TEST_F(FormWindowTest, IdentifiersTakenInBetweenAdvanceTheClassName) {
  Form& first = NewForm();
  first.Create();
  TivraUtility::ElementIdCounter += 3;  // three menu items took identifiers 2, 3 and 4
  Form& second = NewForm();
  second.Create();
  EXPECT_EQ(ClassOf(second.handle), L"Window4");
  EXPECT_EQ(second.id, 5);
}

TEST_F(FormWindowTest, TheWindowIsCreatedWithTheStoredGeometryAndFlags) {
  Form& f = NewForm();
  f.SetPosition(40, 30);
  f.SetSize(400, 300);
  f.resizable = false;
  f.enabled = false;
  f.Create();
  RECT r{};
  GetWindowRect(f.handle, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, 300);
  EXPECT_FALSE(IsWindowEnabled(f.handle));
  const DWORD style = static_cast<DWORD>(GetWindowLongW(f.handle, GWL_STYLE));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), DWORD{WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX});
}

TEST_F(FormWindowTest, ClassBrushPaintsTheBackground) {
  TivraUtility::ElementIdCounter = 700;  // class names no other test of this process uses
  Form& coloured = NewForm();
  coloured.backgroundColor = RGB(0, 0, 255);
  coloured.SetSize(200, 150);
  coloured.Create();
  EXPECT_EQ(ClientPixel(coloured.handle, 5, 5), RGB(0, 0, 255));

  Form& plain = NewForm();
  plain.SetPosition(320, 100);
  plain.SetSize(200, 150);
  plain.Create();
  EXPECT_EQ(ClientPixel(plain.handle, 5, 5), GetSysColor(COLOR_BTNFACE));
}

TEST_F(FormWindowTest, FontIsCreatedWhenTheFormIsCreated) {
  TivraUtility::FontDescription console("Lucida Console", 16);
  Form& f = NewForm();
  f.font = &console;
  EXPECT_EQ(console.fontHandle, nullptr);
  f.Create();
  EXPECT_NE(console.fontHandle, nullptr);
}

}  // namespace
