#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/elements/GUIElement.h"
#include "tests/toolkit/test_support.h"

using TivraUtility::ElementRegistry;
using TivraUtility::GUIElement;

namespace {

// The smallest concrete element: creating its native object is left to the test.
using Probe = zerlo_test::ProbeElement;

bool InRegistry(const GUIElement* element) {
  return std::find(ElementRegistry.begin(), ElementRegistry.end(), element) != ElementRegistry.end();
}

// What the callbacks saw, in call order.
std::vector<std::string> calls;

TEST(GUIElementTest, NewElementHasTheDocumentedDefaultsAndIsLastInTheRegistry) {
  Probe e;
  EXPECT_EQ(e.x, 100);
  EXPECT_EQ(e.y, 100);
  EXPECT_EQ(e.width, 100);
  EXPECT_EQ(e.height, 50);
  EXPECT_EQ(e.backgroundColor, 0xFFFFFFFFu);
  EXPECT_TRUE(e.enabled);
  EXPECT_FALSE(e.created || e.destroyed || e.createNotified || e.backgroundPainted);
  EXPECT_FALSE(e.waitCursor || e.handCursor);
  EXPECT_TRUE(e.text.empty() && e.focusText.empty() && e.kind.empty() && e.toolTipText.empty());
  EXPECT_EQ(e.id, 0);
  EXPECT_EQ(e.handle, nullptr);
  EXPECT_EQ(e.toolTipHandle, nullptr);
  EXPECT_EQ(e.font, nullptr);
  EXPECT_EQ(e.parent, nullptr);
  EXPECT_EQ(e.previousWindowProc, nullptr);
  EXPECT_TRUE(e.onCreate == nullptr && e.onLeftButtonUp == nullptr && e.onChar == nullptr &&
              e.onClose == nullptr && e.onChange == nullptr && e.onMouseLeave == nullptr);
  ASSERT_FALSE(ElementRegistry.empty());
  EXPECT_EQ(ElementRegistry.back(), &e);
}

TEST(GUIElementTest, RegistryKeepsConstructionOrderAndForgetsDestroyedElements) {
  auto first = std::make_unique<Probe>();
  std::unique_ptr<GUIElement> second = std::make_unique<Probe>();  // deleted through the base
  const std::size_t before = ElementRegistry.size();
  ASSERT_GE(before, 2u);
  EXPECT_EQ(ElementRegistry[before - 2], first.get());
  EXPECT_EQ(ElementRegistry[before - 1], second.get());

  GUIElement* gone = first.get();
  first.reset();
  EXPECT_FALSE(InRegistry(gone));
  EXPECT_TRUE(InRegistry(second.get()));
  EXPECT_EQ(ElementRegistry.size(), before - 1);
  gone = second.get();
  second.reset();
  EXPECT_FALSE(InRegistry(gone));
}

TEST(GUIElementTest, SetTextBeforeCreationStoresWideAndWidenedNarrowText) {
  Probe e;
  e.SetText(L"Zerlo01");
  EXPECT_EQ(e.text, L"Zerlo01");
  EXPECT_EQ(e.GetText(), L"Zerlo01");
  e.SetText(std::string("citt\xE0"));
  ASSERT_EQ(e.text.size(), 5u);
  EXPECT_EQ(static_cast<unsigned>(e.text[4]), 0xE0u);
  EXPECT_EQ(e.GetNarrowText(), "citt\xE0");
}

TEST(GUIElementTest, HooksAnswerTheirDefaultsWhenNoCallbackIsSet) {
  Probe e;
  EXPECT_TRUE(e.CharTyped('a'));
  EXPECT_TRUE(e.CloseRequested());
  EXPECT_EQ(e.LeftButtonUp(1, 2), 0);
  EXPECT_EQ(e.RightDoubleClick(1, 2), 0);
  EXPECT_EQ(e.KeyDown(VK_RETURN), 0);
  EXPECT_EQ(e.MouseMove(3, 4), 0);
  EXPECT_EQ(e.Moved(), 0);
  EXPECT_EQ(e.Resized(), 0);
  EXPECT_EQ(e.Paint(), 0);
  EXPECT_EQ(e.GotFocus(), 0);
  EXPECT_EQ(e.LostFocus(), 0);
  EXPECT_EQ(e.MouseHover(), 0);
  EXPECT_EQ(e.ControlColor(nullptr), nullptr);
}

TEST(GUIElementTest, HooksPassTheirArgumentsAndResultsThrough) {
  Probe e;
  e.handle = reinterpret_cast<HWND>(0x1234);
  e.onRightButtonDown = [](GUIElement* el, HWND h, int px, int py) {
    calls.push_back("right " + std::to_string(reinterpret_cast<UINT_PTR>(h) == 0x1234) + " " +
                    std::to_string(px) + "," + std::to_string(py));
    return el->id + 7;
  };
  e.onKeyUp = [](GUIElement*, UINT key) { return static_cast<int>(key) * 2; };
  e.onChar = [](GUIElement*, UINT ch) { return ch != 27; };
  e.onClose = [](GUIElement*) { return false; };
  e.onMouseMove = [](GUIElement*, int px, int py) { return px - py; };
  calls.clear();
  EXPECT_EQ(e.RightButtonDown(5, 6), 7);
  EXPECT_EQ(calls, std::vector<std::string>{"right 1 5,6"});
  EXPECT_EQ(e.KeyUp(21), 42);
  EXPECT_TRUE(e.CharTyped('x'));
  EXPECT_FALSE(e.CharTyped(27));
  EXPECT_FALSE(e.CloseRequested());
  EXPECT_EQ(e.MouseMove(10, 4), 6);
}

TEST(GUIElementTest, CreatedFiresOnCreateOnceAndKeepsTheFirstHandle) {
  Probe e;
  e.onCreate = [](GUIElement*, HWND h) {
    calls.push_back("create " + std::to_string(reinterpret_cast<UINT_PTR>(h)));
    return 0;
  };
  calls.clear();
  e.Created(reinterpret_cast<HWND>(0x10));
  e.Created(reinterpret_cast<HWND>(0x20));
  EXPECT_EQ(calls, std::vector<std::string>{"create 16"});
  EXPECT_EQ(e.handle, reinterpret_cast<HWND>(0x10));
  EXPECT_TRUE(e.createNotified);
}

TEST(GUIElementTest, CreatedWithoutCallbackStillCountsAsTheNotification) {
  Probe e;
  e.Created(reinterpret_cast<HWND>(0x10));
  e.onCreate = [](GUIElement*, HWND) {
    calls.push_back("late create");
    return 0;
  };
  calls.clear();
  e.Created(reinterpret_cast<HWND>(0x10));
  EXPECT_TRUE(calls.empty());
}

TEST(GUIElementTest, LostFocusFiresOnChangeAfterOnLostFocusOnlyWhenTheTextChanged) {
  Probe e;
  e.onLostFocus = [](GUIElement*) {
    calls.push_back("lost");
    return 0;
  };
  e.onChange = [](GUIElement*) {
    calls.push_back("change");
    return 0;
  };
  e.SetText(L"abc");

  calls.clear();
  e.GotFocus();
  EXPECT_EQ(e.focusText, L"abc");
  e.LostFocus();
  EXPECT_EQ(calls, std::vector<std::string>{"lost"});

  calls.clear();
  e.GotFocus();
  e.SetText(L"abd");  // same length, one character differs
  e.LostFocus();
  EXPECT_EQ(calls, (std::vector<std::string>{"lost", "change"}));

  calls.clear();
  e.GotFocus();
  e.SetText(L"abdx");  // a longer text with the same beginning
  e.LostFocus();
  EXPECT_EQ(calls, (std::vector<std::string>{"lost", "change"}));
}

TEST(GUIElementTest, DestroyedRunsOnDestroyBeforeMarkingTheElement) {
  Probe e;
  e.onDestroy = [](GUIElement* el) {
    calls.push_back(el->destroyed ? "already destroyed" : "still alive");
    return 0;
  };
  calls.clear();
  e.Destroyed();
  EXPECT_EQ(calls, std::vector<std::string>{"still alive"});
  EXPECT_TRUE(e.destroyed);
  EXPECT_FALSE(e.created);
}

TEST(GUIElementTest, WithoutNativeObjectGeometryAndColourOnlyTouchTheFields) {
  Probe e;
  e.onPaint = [](GUIElement*) {
    calls.push_back("paint");
    return 0;
  };
  e.SetSize(320, 240);
  e.SetPosition(-5, 7);
  EXPECT_EQ(e.GetWidth(), 320);
  EXPECT_EQ(e.GetHeight(), 240);
  EXPECT_EQ(e.GetClientWidth(), 320);
  EXPECT_EQ(e.GetClientHeight(), 240);
  const POINT p = e.GetPosition();
  EXPECT_EQ(p.x, -5);
  EXPECT_EQ(p.y, 7);
  e.SetBackgroundColor(RGB(1, 2, 3));
  EXPECT_EQ(e.backgroundColor, RGB(1, 2, 3));
  EXPECT_FALSE(e.backgroundPainted);
  calls.clear();
  e.Paint();
  EXPECT_EQ(calls, std::vector<std::string>{"paint"});
  e.TakeFocus();  // no window: nothing to focus, nothing to crash
  e.Refresh();
  e.SetWaitCursor(true);
  e.SetHandCursor(true);
  EXPECT_TRUE(e.WantsWaitCursor() && e.WantsHandCursor());
}

// An element bound to a plain native window with a white background.
class ElementWindowTest : public ::testing::Test {
 protected:
  static constexpr int kLeft = 120, kTop = 90, kWidth = 300, kHeight = 200;

  void SetUp() override {
    window_ = zerlo_test::CreateProbeWindow(L"ZerloElementProbe", zerlo_test::WhiteBrush(),
                                            L"Start", WS_OVERLAPPEDWINDOW | WS_VISIBLE, kLeft, kTop,
                                            kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    UpdateWindow(window_);
    element_.handle = window_;
    element_.text = L"Start";
    element_.x = kLeft;
    element_.y = kTop;
    element_.width = kWidth;
    element_.height = kHeight;
    element_.created = true;
  }
  void TearDown() override { DestroyWindow(window_); }

  std::wstring WindowText() const {
    WCHAR buffer[256] = {};
    GetWindowTextW(window_, buffer, 256);
    return buffer;
  }
  COLORREF PixelAt(int px, int py) const {
    HDC dc = GetDC(window_);
    const COLORREF c = GetPixel(dc, px, py);
    ReleaseDC(window_, dc);
    return c;
  }

  HWND window_ = nullptr;
  Probe element_;
};

TEST_F(ElementWindowTest, SetTextWithTheStoredTextMakesNoNativeCall) {
  SetWindowTextW(window_, L"typed by the user");
  element_.SetText(L"Start");
  EXPECT_EQ(WindowText(), L"typed by the user");
  element_.SetText(std::string("Nuovo \xE8"));
  const std::wstring expected = std::wstring(L"Nuovo ") + static_cast<wchar_t>(0xE8);
  EXPECT_EQ(WindowText(), expected);
}

TEST_F(ElementWindowTest, GetTextRefreshesFromTheWindow) {
  SetWindowTextW(window_, L"dalla finestra");
  EXPECT_EQ(element_.GetText(), L"dalla finestra");
  EXPECT_EQ(element_.text, L"dalla finestra");
  SetWindowTextW(window_, L"");
  EXPECT_EQ(element_.GetText(), L"");
  EXPECT_EQ(element_.GetNarrowText(), "");
}

TEST_F(ElementWindowTest, GeometryGoesToAndComesFromTheWindow) {
  element_.SetSize(260, 180);
  RECT r{};
  GetWindowRect(window_, &r);
  EXPECT_EQ(r.left, kLeft);  // the size changes, the position does not
  EXPECT_EQ(r.top, kTop);
  EXPECT_EQ(r.right - r.left, 260);
  EXPECT_EQ(r.bottom - r.top, 180);

  element_.SetPosition(150, 110);
  GetWindowRect(window_, &r);
  EXPECT_EQ(r.left, 150);
  EXPECT_EQ(r.top, 110);
  EXPECT_EQ(r.right - r.left, 260);  // the move keeps the size

  MoveWindow(window_, 140, 100, 280, 190, TRUE);  // changed behind the element's back
  EXPECT_EQ(element_.GetWidth(), 280);
  EXPECT_EQ(element_.width, 280);
  EXPECT_EQ(element_.GetHeight(), 190);
  const POINT p = element_.GetPosition();
  EXPECT_EQ(p.x, 140);
  EXPECT_EQ(element_.y, 100);

  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(element_.GetClientWidth(), client.right);
  EXPECT_EQ(element_.GetClientHeight(), client.bottom);
  EXPECT_EQ(element_.width, 280);  // still the whole window's width
}

TEST_F(ElementWindowTest, BackgroundColourIsPaintedAndSurvivesARepaint) {
  const COLORREF red = RGB(255, 0, 0);
  ASSERT_EQ(PixelAt(10, 10), RGB(255, 255, 255));
  element_.SetBackgroundColor(red);
  EXPECT_TRUE(element_.backgroundPainted);
  EXPECT_EQ(PixelAt(10, 10), red);
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(PixelAt(client.right - 1, client.bottom - 1), red);

  // The class brush wipes it; the element's Paint brings it back.
  InvalidateRect(window_, nullptr, TRUE);
  UpdateWindow(window_);
  ASSERT_EQ(PixelAt(10, 10), RGB(255, 255, 255));
  element_.Paint();
  EXPECT_EQ(PixelAt(10, 10), red);
}

}  // namespace
