// GDI conformance on memory device contexts: objects, raster results read back pixel by pixel
// with GetPixel, and text placement. Written against the Win32 API alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "gdi_test_support.h"

namespace {

const COLORREF kGround = RGB(10, 20, 30);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 160, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// A memory DC with a colour bitmap of its own, filled with kGround unless asked otherwise.
class Canvas {
 public:
  Canvas(int width, int height, bool fill = true) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    original_ = SelectObject(dc_, bitmap_);
    if (fill) Fill(kGround);
  }
  ~Canvas() {
    SelectObject(dc_, original_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  HGDIOBJ original() const { return original_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }

  // Every pixel that differs from `expected`, as "(x,y)=got want" lines (empty when equal).
  std::string Differences(const std::function<COLORREF(int, int)>& expected) const {
    std::string out;
    int shown = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        COLORREF got = GetPixel(dc_, x, y), want = expected(x, y);
        if (got != want && shown++ < 12) {
          char line[96];
          std::snprintf(line, sizeof line, "(%d,%d)=%06lx want %06lx\n", x, y,
                        static_cast<unsigned long>(got), static_cast<unsigned long>(want));
          out += line;
        }
      }
    return out;
  }

  // Bounding box of the pixels that are not `ground`; empty (0,0,0,0) when there are none.
  RECT Ink(COLORREF ground = kGround) const {
    RECT box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (GetPixel(dc_, x, y) != ground) {
          if (x < box.left) box.left = x;
          if (y < box.top) box.top = y;
          if (x + 1 > box.right) box.right = x + 1;
          if (y + 1 > box.bottom) box.bottom = y + 1;
        }
    if (box.right == 0) box = RECT{0, 0, 0, 0};
    return box;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ original_;
};

std::string Str(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d)", static_cast<int>(r.left),
                static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom));
  return text;
}

bool Inside(int x, int y, int left, int top, int right, int bottom) {
  return x >= left && x < right && y >= top && y < bottom;
}

// ---- Bitmaps and BitBlt -----------------------------------------------------------------

TEST(GdiBitmap, NewCompatibleBitmapIsBlack) {
  Canvas canvas(37, 23, /*fill=*/false);
  EXPECT_EQ(canvas.Differences([](int, int) { return RGB(0, 0, 0); }), "");
  BITMAP bm{};
  ASSERT_EQ(GetObjectW(canvas.bitmap(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 37);
  EXPECT_EQ(bm.bmHeight, 23);
}

TEST(GdiBitmap, GetPixelOutsideTheBitmapIsInvalidAndSetPixelWritesOnePixel) {
  Canvas canvas(8, 6);
  EXPECT_EQ(GetPixel(canvas.dc(), -1, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(canvas.dc(), 8, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 6), CLR_INVALID);
  EXPECT_EQ(SetPixel(canvas.dc(), 3, 2, RGB(12, 34, 56)), RGB(12, 34, 56));
  EXPECT_EQ(canvas.Differences([](int x, int y) {
              return (x == 3 && y == 2) ? RGB(12, 34, 56) : kGround;
            }),
            "");
}

COLORREF Pattern(int x, int y) { return RGB(x * 7 % 256, y * 11 % 256, (x + y) * 3 % 256); }

TEST(GdiBitmap, BitBltCopiesExactlyAndClipsAtTheDestinationEdge) {
  Canvas source(20, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) SetPixel(source.dc(), x, y, Pattern(x, y));

  Canvas dest(24, 18);
  // Source (2,3) 10x8 lands at (5,4).
  ASSERT_TRUE(BitBlt(dest.dc(), 5, 4, 10, 8, source.dc(), 2, 3, SRCCOPY));
  EXPECT_EQ(dest.Differences([](int x, int y) {
              return Inside(x, y, 5, 4, 15, 12) ? Pattern(x - 3, y - 1) : kGround;
            }),
            "");

  // Partly outside the destination: what fits is copied, nothing else is touched.
  dest.Fill(kGround);
  ASSERT_TRUE(BitBlt(dest.dc(), 18, 14, 10, 10, source.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(dest.Differences([](int x, int y) {
              return Inside(x, y, 18, 14, 24, 18) ? Pattern(x - 18, y - 14) : kGround;
            }),
            "");
}

TEST(GdiBitmap, BitmapSelectionReturnsWhatItReplaced) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP a = CreateCompatibleBitmap(screen, 4, 4);
  HBITMAP b = CreateCompatibleBitmap(screen, 4, 4);
  ReleaseDC(nullptr, screen);
  HGDIOBJ initial = SelectObject(dc, a);
  EXPECT_NE(initial, nullptr);  // the one-pixel default bitmap
  EXPECT_EQ(SelectObject(dc, b), a);
  EXPECT_EQ(SelectObject(dc, initial), b);
  DeleteDC(dc);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_TRUE(DeleteObject(b));
}

// ---- Rectangle ---------------------------------------------------------------------------

struct RectangleCase {
  const char* name;
  int penStyle;
  COLORREF pen;
  bool nullBrush;
  COLORREF brush;
  // Expected colour of (x, y) for Rectangle(2, 2, 8, 7) on kGround.
  COLORREF (*expected)(int x, int y);
};

const RectangleCase kRectangleCases[] = {
    {"outline and fill", PS_SOLID, kRed, false, kBlue,
     [](int x, int y) {
       if (!Inside(x, y, 2, 2, 8, 7)) return kGround;  // right and bottom edges excluded
       if (x == 2 || x == 7 || y == 2 || y == 6) return kRed;
       return kBlue;
     }},
    {"pen colour equals fill: one solid block", PS_SOLID, kGreen, false, kGreen,
     [](int x, int y) { return Inside(x, y, 2, 2, 8, 7) ? kGreen : kGround; }},
    {"null brush keeps the inside", PS_SOLID, kRed, true, 0,
     [](int x, int y) {
       if (!Inside(x, y, 2, 2, 8, 7)) return kGround;
       if (x == 2 || x == 7 || y == 2 || y == 6) return kRed;
       return kGround;
     }},
    {"null pen: no border, one pixel narrower and shorter", PS_NULL, kRed, false, kBlue,
     [](int x, int y) { return Inside(x, y, 2, 2, 7, 6) ? kBlue : kGround; }},
};

TEST(GdiRectangle, PenAndBrushCombinations) {
  for (const RectangleCase& c : kRectangleCases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(12, 10);
    HPEN pen = CreatePen(c.penStyle, 1, c.pen);
    HBRUSH brush = c.nullBrush ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                               : CreateSolidBrush(c.brush);
    HGDIOBJ oldPen = SelectObject(canvas.dc(), pen);
    HGDIOBJ oldBrush = SelectObject(canvas.dc(), brush);
    EXPECT_TRUE(Rectangle(canvas.dc(), 2, 2, 8, 7));
    SelectObject(canvas.dc(), oldPen);
    SelectObject(canvas.dc(), oldBrush);
    DeleteObject(pen);
    if (!c.nullBrush) DeleteObject(brush);
    EXPECT_EQ(canvas.Differences(c.expected), "");
  }
}

TEST(GdiRectangle, FillRectExcludesRightAndBottomEdges) {
  Canvas canvas(10, 10);
  HBRUSH brush = CreateSolidBrush(kBlue);
  RECT r{1, 2, 6, 9};
  EXPECT_NE(FillRect(canvas.dc(), &r, brush), 0);
  DeleteObject(brush);
  EXPECT_EQ(canvas.Differences([](int x, int y) { return Inside(x, y, 1, 2, 6, 9) ? kBlue : kGround; }),
            "");
}

TEST(GdiRectangle, FocusRectIsADottedFrameThatASecondCallRemoves) {
  Canvas canvas(14, 12);
  RECT r{2, 2, 12, 10};
  ASSERT_TRUE(DrawFocusRect(canvas.dc(), &r));
  int changedOnFrame = 0, frame = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 14; ++x) {
      const bool onFrame = Inside(x, y, 2, 2, 12, 10) && (x == 2 || x == 11 || y == 2 || y == 9);
      const bool changed = GetPixel(canvas.dc(), x, y) != kGround;
      if (!onFrame) {
        EXPECT_FALSE(changed) << x << "," << y;
      }
      frame += onFrame;
      changedOnFrame += onFrame && changed;
    }
  // Dotted: some of the frame, not all of it.
  EXPECT_GT(changedOnFrame, frame / 3);
  EXPECT_LT(changedOnFrame, frame);
  ASSERT_TRUE(DrawFocusRect(canvas.dc(), &r));
  EXPECT_EQ(canvas.Differences([](int, int) { return kGround; }), "");
}

// ---- Objects -----------------------------------------------------------------------------

TEST(GdiObjects, NewDcHoldsTheStockDefaultsAndSelectObjectReturnsWhatItReplaced) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HBRUSH brush = CreateSolidBrush(kBlue);
  HFONT font = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                           CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Lucida Console");
  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), pen);
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), brush);
  EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(NULL_PEN));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, StockObjectsSurviveDeleteObject) {
  const int stock[] = {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, BLACK_PEN, NULL_PEN, SYSTEM_FONT};
  for (int which : stock) {
    HGDIOBJ object = GetStockObject(which);
    ASSERT_NE(object, nullptr) << which;
    DeleteObject(object);
    EXPECT_EQ(GetStockObject(which), object) << which;
    EXPECT_NE(GetObjectType(object), 0u) << which;
  }
  Canvas canvas(4, 4);
  RECT all{0, 0, 4, 4};
  FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(0, 0, 0));
}

TEST(GdiObjects, BrushDeletedWhileSelectedStaysUsableUntilDeselected) {
  Canvas canvas(10, 10);
  HBRUSH brush = CreateSolidBrush(kGreen);
  HGDIOBJ oldBrush = SelectObject(canvas.dc(), brush);
  HGDIOBJ oldPen = SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  EXPECT_TRUE(DeleteObject(brush));
  Rectangle(canvas.dc(), 0, 0, 6, 6);
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 2), kGreen);
  SelectObject(canvas.dc(), oldBrush);
  SelectObject(canvas.dc(), oldPen);
  LOGBRUSH lb{};
  EXPECT_EQ(GetObjectW(brush, sizeof lb, &lb), 0);  // gone once deselected
}

TEST(GdiObjects, GetObjectDescribesPensAndBrushes) {
  HPEN pen = CreatePen(PS_SOLID, 3, kRed);
  LOGPEN lp{};
  ASSERT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, kRed);
  DeleteObject(pen);

  HBRUSH brush = CreateSolidBrush(kBlue);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, kBlue);
  DeleteObject(brush);
}

TEST(GdiObjects, BadHandlesFailQuietly) {
  // Handles that were valid once: deleted objects and a deleted DC.
  HPEN deadPen = CreatePen(PS_SOLID, 1, kRed);
  HBRUSH deadBrush = CreateSolidBrush(kRed);
  ASSERT_TRUE(DeleteObject(deadPen));
  ASSERT_TRUE(DeleteObject(deadBrush));
  HDC deadDc = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(DeleteDC(deadDc));
  Canvas canvas(6, 6);
  RECT r{0, 0, 4, 4};
  LOGPEN lp{};
  TEXTMETRICW tm{};
  SIZE size{};

  for (HDC bad : {static_cast<HDC>(nullptr), deadDc}) {
    SCOPED_TRACE(bad ? "deleted DC" : "null DC");
    EXPECT_EQ(SelectObject(bad, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_FALSE(Rectangle(bad, 0, 0, 4, 4));
    EXPECT_EQ(GetPixel(bad, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(bad, TRANSPARENT), 0);
    EXPECT_EQ(GetBkMode(bad), 0);
    EXPECT_EQ(SetTextColor(bad, kRed), CLR_INVALID);
    EXPECT_EQ(SetBkColor(bad, kRed), CLR_INVALID);
    EXPECT_FALSE(TextOutW(bad, 0, 0, L"x", 1));
    EXPECT_FALSE(ExtTextOutW(bad, 0, 0, ETO_OPAQUE, &r, L"", 0, nullptr));
    EXPECT_FALSE(GetTextMetricsW(bad, &tm));
    EXPECT_FALSE(GetTextExtentPoint32W(bad, L"x", 1, &size));
    EXPECT_FALSE(BitBlt(bad, 0, 0, 2, 2, canvas.dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(canvas.dc(), 0, 0, 2, 2, bad, 0, 0, SRCCOPY));
    EXPECT_FALSE(DeleteDC(bad));
  }
  EXPECT_FALSE(DeleteObject(deadPen));
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_EQ(GetObjectW(deadPen, sizeof lp, &lp), 0);
  EXPECT_EQ(SelectObject(canvas.dc(), deadPen), nullptr);
  EXPECT_EQ(SelectObject(canvas.dc(), deadBrush), nullptr);
  // Nothing reached the canvas.
  EXPECT_EQ(canvas.Differences([](int, int) { return kGround; }), "");
}

// ---- Fonts -------------------------------------------------------------------------------

struct FontRequest {
  int height;
  int weight;
  DWORD italic, charSet, outPrecision, quality, pitchAndFamily;
  const wchar_t* face;
};

TEST(GdiFont, GetObjectReturnsTheRequestedLogFont) {
  const FontRequest requests[] = {
      {16, FW_NORMAL, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLEARTYPE_QUALITY, 0,
       L"Lucida Console"},
      {0, FW_NORMAL, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLEARTYPE_QUALITY, 0, L"System"},
      {-12, FW_BOLD, 1, ANSI_CHARSET, OUT_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
       FIXED_PITCH | FF_MODERN, L"Courier New"},
  };
  for (const FontRequest& q : requests) {
    SCOPED_TRACE(q.height);
    HFONT font = CreateFontW(q.height, 0, 0, 0, q.weight, q.italic, 0, 0, q.charSet,
                             q.outPrecision, CLIP_DEFAULT_PRECIS, q.quality, q.pitchAndFamily,
                             q.face);
    ASSERT_NE(font, nullptr);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, q.height);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfWeight, q.weight);
    EXPECT_EQ(lf.lfItalic, q.italic);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, q.charSet);
    EXPECT_EQ(lf.lfOutPrecision, q.outPrecision);
    EXPECT_EQ(lf.lfClipPrecision, CLIP_DEFAULT_PRECIS);
    EXPECT_EQ(lf.lfQuality, q.quality);
    EXPECT_EQ(lf.lfPitchAndFamily, q.pitchAndFamily);
    EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(q.face));
    DeleteObject(font);
  }
}

// A memory DC with the console font selected and the drawing state the toolkit uses.
class GdiConsoleFont : public ::testing::Test {
 protected:
  GdiConsoleFont() : canvas_(200, 40) {
    font_ = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Lucida Console");
    old_ = SelectObject(canvas_.dc(), font_);
    SetTextColor(canvas_.dc(), kWhite);
    SetBkColor(canvas_.dc(), kBlue);
  }
  ~GdiConsoleFont() override {
    SelectObject(canvas_.dc(), old_);
    DeleteObject(font_);
  }
  HDC dc() { return canvas_.dc(); }
  Canvas canvas_;
  HFONT font_;
  HGDIOBJ old_;
};

TEST_F(GdiConsoleFont, HeightsAreCellHeightsAndTheFaceIsFixedPitch) {
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 16);  // a positive request is the cell height
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  EXPECT_GT(tm.tmAveCharWidth, 4);
  SIZE one{}, four{};
  ASSERT_TRUE(GetTextExtentPoint32W(dc(), L"W", 1, &one));
  ASSERT_TRUE(GetTextExtentPoint32W(dc(), L"iW.m", 4, &four));
#ifndef _WIN32
  // Where the face is not installed the stand-in falls back to a monospace face (Wine has no
  // such face either and substitutes a proportional one, so this holds natively only).
  EXPECT_EQ(four.cx, 4 * one.cx);
#endif
  EXPECT_GT(four.cx, 3 * one.cx / 2);
  EXPECT_EQ(one.cy, tm.tmHeight);
  SIZE none{};
  ASSERT_TRUE(GetTextExtentPoint32W(dc(), L"", 0, &none));
  EXPECT_EQ(none.cx, 0);

  // A negative request is the character height: the cell less its internal leading.
  HFONT em = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                         CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Lucida Console");
  SelectObject(dc(), em);
  ASSERT_TRUE(GetTextMetricsW(dc(), &tm));
  EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, 20, 1);
  SelectObject(dc(), font_);
  DeleteObject(em);
}

TEST_F(GdiConsoleFont, TransparentTextDrawsOnlyGlyphPixelsOpaqueFillsTheCell) {
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(dc(), &tm));
  SIZE ext{};
  GetTextExtentPoint32W(dc(), L"H", 1, &ext);

  SetBkMode(dc(), TRANSPARENT);
  ASSERT_TRUE(TextOutW(dc(), 10, 5, L"H", 1));
  RECT ink = canvas_.Ink();
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.right, 10 + ext.cx);
  EXPECT_LE(ink.bottom, 5 + tm.tmHeight);
  EXPECT_LT(ink.left, ink.right);
  EXPECT_EQ(GetPixel(dc(), 10, 5), kGround);  // the cell's corner keeps the background
  bool fullInk = false;
  for (int y = ink.top; y < ink.bottom; ++y)
    for (int x = ink.left; x < ink.right; ++x) fullInk = fullInk || GetPixel(dc(), x, y) == kWhite;
  EXPECT_TRUE(fullInk);

  canvas_.Fill(kGround);
  SetBkMode(dc(), OPAQUE);
  ASSERT_TRUE(TextOutW(dc(), 10, 5, L"H", 1));
  EXPECT_EQ(Str(canvas_.Ink()), Str(RECT{10, 5, 10 + ext.cx, 5 + tm.tmHeight}));
  EXPECT_EQ(GetPixel(dc(), 10, 5), kBlue);
}

TEST_F(GdiConsoleFont, ExtTextOutOpaqueFillsTheRectangleEvenWithoutText) {
  SetBkMode(dc(), TRANSPARENT);  // ETO_OPAQUE fills whatever the mode
  RECT r{3, 4, 30, 20};
  ASSERT_TRUE(ExtTextOutW(dc(), 3, 4, ETO_OPAQUE, &r, L"", 0, nullptr));
  EXPECT_EQ(canvas_.Differences([](int x, int y) { return Inside(x, y, 3, 4, 30, 20) ? kBlue : kGround; }),
            "");

  canvas_.Fill(kGround);
  ASSERT_TRUE(ExtTextOutW(dc(), 3, 4, ETO_OPAQUE, &r, L"HH", 2, nullptr));
  EXPECT_EQ(Str(canvas_.Ink()), Str(r));
  EXPECT_EQ(GetPixel(dc(), 3, 4), kBlue);
}

TEST_F(GdiConsoleFont, ClippedTextStaysInsideItsRectangle) {
  SetBkMode(dc(), TRANSPARENT);
  RECT r{10, 5, 14, 13};
  ASSERT_TRUE(ExtTextOutW(dc(), 8, 3, ETO_CLIPPED, &r, L"MMMM", 4, nullptr));
  RECT ink = canvas_.Ink();
  EXPECT_LT(ink.left, ink.right);
  EXPECT_GE(ink.left, r.left);
  EXPECT_GE(ink.top, r.top);
  EXPECT_LE(ink.right, r.right);
  EXPECT_LE(ink.bottom, r.bottom);
}

struct AlignCase {
  UINT format;
  int minLeft, maxRight;  // where the ink of "Xy" must lie in a 200-pixel box
};

TEST_F(GdiConsoleFont, DrawTextPlacesEachAlignmentInItsPartOfTheBox) {
  SetBkMode(dc(), TRANSPARENT);
  SIZE ext{};
  GetTextExtentPoint32W(dc(), L"Xy", 2, &ext);
  const AlignCase cases[] = {
      {DT_LEFT, 0, ext.cx + 1},
      {DT_CENTER, 100 - ext.cx / 2 - 1, 100 + ext.cx / 2 + 2},
      {DT_RIGHT, 200 - ext.cx - 1, 200},
  };
  for (const AlignCase& c : cases) {
    SCOPED_TRACE(c.format);
    canvas_.Fill(kGround);
    RECT box{0, 0, 200, 40};
    int height = DrawTextW(dc(), L"Xy", -1, &box, c.format);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc(), &tm);
    EXPECT_EQ(height, tm.tmHeight);
    RECT ink = canvas_.Ink();
    EXPECT_GE(ink.left, c.minLeft);
    EXPECT_LE(ink.right, c.maxRight);
    EXPECT_GT(ink.right - ink.left, ext.cx / 3);
    EXPECT_LE(ink.bottom, tm.tmHeight);  // top-aligned
  }
}

TEST_F(GdiConsoleFont, DrawTextBreaksLinesAndMeasuresWithCalcRect) {
  SetBkMode(dc(), TRANSPARENT);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc(), &tm);
  SIZE ab{};
  GetTextExtentPoint32W(dc(), L"AB", 2, &ab);

  RECT calc{5, 2, 6, 3};
  EXPECT_EQ(DrawTextW(dc(), L"AB\r\nC\nD", -1, &calc, DT_LEFT | DT_CALCRECT), 3 * tm.tmHeight);
  EXPECT_EQ(calc.left, 5);
  EXPECT_EQ(calc.top, 2);
  EXPECT_EQ(calc.right, 5 + ab.cx);
  EXPECT_EQ(calc.bottom, 2 + 3 * tm.tmHeight);
  EXPECT_EQ(canvas_.Ink().right, 0);  // measuring draws nothing

  RECT box{0, 0, 200, 40};
  EXPECT_EQ(DrawTextW(dc(), L"_\n_", 3, &box, DT_LEFT), 2 * tm.tmHeight);
  RECT ink = canvas_.Ink();
  EXPECT_GE(ink.bottom, tm.tmHeight + 1);  // the second line lies below the first
  EXPECT_LE(ink.bottom, 2 * tm.tmHeight);
}

TEST_F(GdiConsoleFont, DrawTextSingleLineCentresVertically) {
  SetBkMode(dc(), OPAQUE);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc(), &tm);
  RECT box{0, 0, 200, 40};
  DrawTextW(dc(), L"H", 1, &box, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  RECT ink = canvas_.Ink();  // the opaque cell of the one line
  EXPECT_EQ(ink.top, (40 - tm.tmHeight) / 2);
  EXPECT_EQ(ink.bottom, ink.top + tm.tmHeight);
}

TEST_F(GdiConsoleFont, DrawTextTakesAmpersandsAsMnemonicPrefixesUnlessToldNot) {
  struct Case {
    const wchar_t* text;
    UINT format;
    const wchar_t* measuredAs;  // the text whose extent the drawn text must have
  };
  const Case cases[] = {
      {L"&File", DT_LEFT, L"File"},
      {L"&Esci", DT_LEFT | DT_SINGLELINE, L"Esci"},
      {L"R&&D", DT_LEFT, L"R&D"},
      {L"&File", DT_LEFT | DT_NOPREFIX, L"&File"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.format));
    SIZE want{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc(), c.measuredAs, static_cast<int>(std::wcslen(c.measuredAs)),
                                      &want));
    RECT calc{0, 0, 0, 0};
    DrawTextW(dc(), c.text, -1, &calc, c.format | DT_CALCRECT);
    EXPECT_EQ(calc.right, want.cx);
  }
}

TEST(GdiObjects, RestoreDcBringsBackTheSavedObjectsAndColours) {
  Canvas canvas(10, 10);
  HBRUSH blue = CreateSolidBrush(kBlue);
  HBRUSH red = CreateSolidBrush(kRed);
  HGDIOBJ oldBrush = SelectObject(canvas.dc(), blue);
  SetTextColor(canvas.dc(), kGreen);
  const int saved = SaveDC(canvas.dc());
  ASSERT_GT(saved, 0);
  SelectObject(canvas.dc(), red);
  SetTextColor(canvas.dc(), kWhite);
  ASSERT_TRUE(RestoreDC(canvas.dc(), -1));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_BRUSH), static_cast<HGDIOBJ>(blue));
  EXPECT_EQ(GetTextColor(canvas.dc()), kGreen);
  EXPECT_FALSE(RestoreDC(canvas.dc(), -1));  // nothing saved any more
  SelectObject(canvas.dc(), oldBrush);
  EXPECT_TRUE(DeleteObject(blue));
  EXPECT_TRUE(DeleteObject(red));
}

TEST(GdiRectangle, LineToStopsShortOfTheEndPoint) {
  Canvas canvas(10, 6);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  MoveToEx(canvas.dc(), 1, 2, nullptr);
  ASSERT_TRUE(LineTo(canvas.dc(), 7, 2));
  SelectObject(canvas.dc(), old);
  DeleteObject(pen);
  EXPECT_EQ(canvas.Differences([](int x, int y) { return (y == 2 && x >= 1 && x < 7) ? kRed : kGround; }),
            "");
}

TEST(GdiFont, MemoryDcStartsWithTheSystemFont) {
  HDC dc = CreateCompatibleDC(nullptr);
  TEXTMETRICW tm{};
  ASSERT_NO_FATAL_FAILURE(gditest::ExpectSystemFont(dc, tm));
  DeleteDC(dc);
}

}  // namespace
