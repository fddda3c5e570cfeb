#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/elements/Form.h"
#include "toolkit/elements/GUIElement.h"
#include "toolkit/elements/ToolTips.h"
#include "tests/toolkit/test_support.h"

using TivraUtility::CreateToolTip;
using TivraUtility::GUIElement;
using TivraUtility::UpdateToolTip;

namespace {

using Probe = zerlo_test::ProbeElement;

// What the tool-tip window holds for the one tool of `window`.
struct ToolState {
  LRESULT count = 0;
  bool found = false;
  UINT flags = 0;
  RECT rect{};
  std::wstring text;
};

ToolState ReadTool(HWND tip, HWND window) {
  ToolState state;
  state.count = SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
  std::vector<WCHAR> buffer(4096, 0);
  TOOLINFOW query{};
  query.cbSize = static_cast<UINT>(offsetof(TOOLINFOW, lpReserved));
  query.hwnd = window;
  query.uId = reinterpret_cast<UINT_PTR>(window);
  query.lpszText = buffer.data();
  state.found = SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&query)) != 0;
  state.flags = query.uFlags;
  state.rect = query.rect;
  state.text = buffer.data();
  // The text once more through the query that is told the buffer's size. Each platform stops one
  // of the two queries at 1023 characters (the stand-in TTM_GETTOOLINFOW, Wine TTM_GETTEXTW), so
  // the longer answer is the tool's text.
  std::vector<WCHAR> sized(4096, 0);
  query.lpszText = sized.data();
  SendMessageW(tip, TTM_GETTEXTW, sized.size(), reinterpret_cast<LPARAM>(&query));
  if (std::wstring(sized.data()).size() > state.text.size()) state.text = sized.data();
  return state;
}

class ToolTipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = zerlo_test::CreateProbeWindow(L"ZerloToolTipProbe", zerlo_test::WhiteBrush(), L"",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_NE(window_, nullptr);
    element_.handle = window_;
    element_.x = 100;
    element_.y = 100;
    element_.width = 300;
    element_.height = 200;
    element_.created = true;
  }
  void TearDown() override { DestroyWindow(window_); }

  static RECT ClientOf(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return r;
  }

  HWND window_ = nullptr;
  Probe element_;
};

void ExpectSameRect(const RECT& a, const RECT& b) {
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.right, b.right);
  EXPECT_EQ(a.bottom, b.bottom);
}

TEST_F(ToolTipTest, NothingIsCreatedWithoutTextOrWindow) {
  CreateToolTip(&element_, window_);
  UpdateToolTip(&element_);
  EXPECT_EQ(element_.toolTipHandle, nullptr);

  Probe unborn;  // text but no native object
  unborn.toolTipText = "Suggerimento";
  UpdateToolTip(&unborn);
  CreateToolTip(&unborn, nullptr);
  EXPECT_EQ(unborn.toolTipHandle, nullptr);
}

TEST_F(ToolTipTest, OneToolCoversTheClientAreaWithTheText) {
  element_.toolTipText = "Premi Esc per uscire";
  CreateToolTip(&element_, window_);
  ASSERT_NE(element_.toolTipHandle, nullptr);
  WCHAR className[64] = {};
  GetClassNameW(element_.toolTipHandle, className, 64);
  EXPECT_EQ(std::wstring(className), L"tooltips_class32");
  EXPECT_EQ(GetWindow(element_.toolTipHandle, GW_OWNER), window_);

  const ToolState tool = ReadTool(element_.toolTipHandle, window_);
  EXPECT_EQ(tool.count, 1);
  ASSERT_TRUE(tool.found);
  EXPECT_NE(tool.flags & TTF_SUBCLASS, 0u);
  ExpectSameRect(tool.rect, ClientOf(window_));
  EXPECT_EQ(tool.text, L"Premi Esc per uscire");
}

TEST_F(ToolTipTest, SetSizeMovesTheToolRectangleAndRefreshesItsText) {
  element_.toolTipText = "Prima";
  CreateToolTip(&element_, window_);
  ASSERT_NE(element_.toolTipHandle, nullptr);
  element_.toolTipText = "Dopo \xE8";
  element_.SetSize(420, 260);

  const ToolState tool = ReadTool(element_.toolTipHandle, window_);
  EXPECT_EQ(tool.count, 1);
  const RECT client = ClientOf(window_);
  EXPECT_GT(client.right, 300);  // the window really grew
  ExpectSameRect(tool.rect, client);
  EXPECT_EQ(tool.text, std::wstring(L"Dopo ") + static_cast<wchar_t>(0xE8));
}

TEST_F(ToolTipTest, SetSizeCreatesAMissingToolTip) {
  element_.toolTipText = "Tardi";
  element_.SetSize(310, 210);
  ASSERT_NE(element_.toolTipHandle, nullptr);
  EXPECT_EQ(ReadTool(element_.toolTipHandle, window_).count, 1);
}

TEST_F(ToolTipTest, LongTextIsCutTo2023Characters) {
  element_.toolTipText = std::string(2000, 'a') + std::string(1000, 'b');
  CreateToolTip(&element_, window_);
  ASSERT_NE(element_.toolTipHandle, nullptr);
  const std::wstring expected = std::wstring(2000, L'a') + std::wstring(23, L'b');
  EXPECT_EQ(ReadTool(element_.toolTipHandle, window_).text, expected);
}

TEST(FormToolTipTest, FormCreatedWithATextGetsItsTool) {
  const HWND savedMain = TivraUtility::MainWindow;
  TivraUtility::Form form(nullptr);
  form.toolTipText = "Zerlo";
  form.Create();
  ASSERT_NE(form.handle, nullptr);
  ASSERT_NE(form.toolTipHandle, nullptr);
  const ToolState tool = ReadTool(form.toolTipHandle, form.handle);
  EXPECT_EQ(tool.count, 1);
  RECT client{};
  GetClientRect(form.handle, &client);
  ExpectSameRect(tool.rect, client);
  EXPECT_EQ(tool.text, L"Zerlo");
  if (TivraUtility::MainWindow == form.handle) TivraUtility::MainWindow = savedMain;
  DestroyWindow(form.handle);
}

}  // namespace
