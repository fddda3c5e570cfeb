#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "toolkit/elements/Form.h"
#include "toolkit/elements/HotKeys.h"
#include "tests/toolkit/test_support.h"

#ifndef _WIN32
#include <zerlo/headless.h>
#endif

using TivraUtility::Form;
using TivraUtility::HotKey;

namespace {

constexpr UINT kMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

// A form whose window is a plain native window, and a second window to probe combinations with.
class HotKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = zerlo_test::CreateProbeWindow(L"ZerloHotKeyProbe", nullptr, L"", WS_OVERLAPPEDWINDOW,
                                            0, 0, 100, 100);
    other_ = zerlo_test::CreateProbeWindow(L"ZerloHotKeyProbe", nullptr, L"", WS_OVERLAPPEDWINDOW,
                                           0, 0, 100, 100);
    ASSERT_NE(window_, nullptr);
    ASSERT_NE(other_, nullptr);
    form_.handle = window_;
  }
  void TearDown() override {
    for (int id = 1; id <= 3; ++id) UnregisterHotKey(window_, id);
    DestroyWindow(window_);
    DestroyWindow(other_);
  }
  // True when another window can still register the combination (it is freed again at once).
  bool CombinationFree(UINT key) {
    if (!RegisterHotKey(other_, 77, kMods, key)) return false;
    UnregisterHotKey(other_, 77);
    return true;
  }

  HWND window_ = nullptr;
  HWND other_ = nullptr;
  Form form_{nullptr};
};

TEST_F(HotKeyTest, AnEmptyListTouchesNoRegistration) {
  ASSERT_TRUE(RegisterHotKey(window_, 1, kMods, VK_F9));  // registered by someone else
  TivraUtility::RegisterHotKeys(&form_);
  TivraUtility::UnregisterHotKeys(&form_);
  EXPECT_FALSE(CombinationFree(VK_F9));
  EXPECT_TRUE(UnregisterHotKey(window_, 1));  // still there to be removed
}

TEST_F(HotKeyTest, RecordsAreRegisteredUnderTheirPositionPlusOne) {
  form_.hotKeys.push_back(HotKey{kMods, VK_F9, nullptr});
  form_.hotKeys.push_back(HotKey{kMods, VK_F10, nullptr});
  form_.hotKeys.push_back(HotKey{kMods, VK_F11, nullptr});
  TivraUtility::RegisterHotKeys(&form_);
  EXPECT_FALSE(CombinationFree(VK_F9));
  EXPECT_FALSE(CombinationFree(VK_F10));
  EXPECT_FALSE(CombinationFree(VK_F11));

  // Identifier 2 is the second record.
  ASSERT_TRUE(UnregisterHotKey(window_, 2));
  EXPECT_TRUE(CombinationFree(VK_F10));
  EXPECT_FALSE(CombinationFree(VK_F9));
  ASSERT_TRUE(RegisterHotKey(window_, 2, kMods, VK_F10));

  TivraUtility::UnregisterHotKeys(&form_);
  EXPECT_TRUE(CombinationFree(VK_F9));
  EXPECT_TRUE(CombinationFree(VK_F10));
  EXPECT_TRUE(CombinationFree(VK_F11));
  EXPECT_FALSE(UnregisterHotKey(window_, 1));  // already gone
}

#ifdef _WIN32
TEST(OpenDocumentTest, AMissingDocumentIsReportedAsFailure) {
  EXPECT_FALSE(TivraUtility::OpenDocument("C:\\zerlo-no-such-dir\\manca.txt"));
}
#else
TEST(OpenDocumentTest, TheShellGetsTheTargetWidenedByteByByte) {
  zerlo::headless::ClearShellRequests();
  EXPECT_TRUE(TivraUtility::OpenDocument("https://example.org/citt\xE0?q=\x80"));
  EXPECT_TRUE(TivraUtility::OpenDocument(""));  // still handed over; the answer is the shell's
  const auto requests = zerlo::headless::ShellRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].verb, L"open");
  std::wstring expected = L"https://example.org/citt";
  expected += static_cast<wchar_t>(0xE0);
  expected += L"?q=";
  expected += static_cast<wchar_t>(0x80);
  EXPECT_EQ(requests[0].target, expected);
  EXPECT_EQ(requests[1].target, L"");
}
#endif

}  // namespace
