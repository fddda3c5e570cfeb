// Shared checks of the drawing conformance tests. Written against the Win32 API alone, so it
// builds against the real platform too.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

namespace gditest {

// The device context draws text in the system font, and `metrics` receives its metrics. The
// stand-in reports the real platform's figures at 96 DPI on every screen; Wine's own system font
// may measure differently.
inline void ExpectSystemFont(HDC dc, TEXTMETRICW& metrics) {
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  metrics = TEXTMETRICW{};
  ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
#ifndef _WIN32
  EXPECT_EQ(metrics.tmHeight, 16);
  EXPECT_EQ(metrics.tmAveCharWidth, 7);
#endif
  EXPECT_GT(metrics.tmHeight, 0);
}

}  // namespace gditest
