#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/drawing/FontDescription.h"

using TivraUtility::FontDescription;

namespace {

LOGFONTW Describe(HFONT font) {
  LOGFONTW lf{};
  EXPECT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  return lf;
}

TEST(FontDescriptionTest, ConsoleFontAsksForTheDocumentedValues) {
  FontDescription console("Lucida Console", 16);
  EXPECT_EQ(console.fontHandle, nullptr);  // nothing until first use
  const HFONT font = console.GetFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(console.GetFont(), font);  // one native font per description
  const LOGFONTW lf = Describe(font);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"Lucida Console");
  EXPECT_EQ(lf.lfHeight, 16);
  EXPECT_EQ(lf.lfWidth, 0);
  EXPECT_EQ(lf.lfWeight, 400);
  EXPECT_EQ(lf.lfItalic, 0);
  EXPECT_EQ(lf.lfUnderline, 0);
  EXPECT_EQ(lf.lfStrikeOut, 0);
  EXPECT_EQ(lf.lfCharSet, 1);
  EXPECT_EQ(lf.lfOutPrecision, 8);
  EXPECT_EQ(lf.lfClipPrecision, 0);
  EXPECT_EQ(lf.lfQuality, 5);
  EXPECT_EQ(lf.lfPitchAndFamily, 0);
}

TEST(FontDescriptionTest, DefaultDescriptionIsSystemAtPlatformHeight) {
  FontDescription system;
  const LOGFONTW lf = Describe(system.GetFont());
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"System");
  EXPECT_EQ(lf.lfHeight, 0);
  EXPECT_EQ(lf.lfWeight, 400);
}

TEST(FontDescriptionTest, StyleFlagsReachTheNativeFont) {
  FontDescription styled("Lucida Console", 12);
  styled.bold = true;
  styled.italic = true;
  styled.underline = true;
  styled.fixedPitch = true;
  const LOGFONTW lf = Describe(styled.GetFont());
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfPitchAndFamily, 1);
}

TEST(FontDescriptionTest, NarrowFaceNameIsWidenedByteByByte) {
  FontDescription accented("Caf\xE9", 10);
  ASSERT_EQ(accented.faceName.size(), 4u);
  EXPECT_EQ(static_cast<unsigned>(accented.faceName[3]), 0xE9u);
}

TEST(FontDescriptionTest, DestroyingTheDescriptionDeletesItsFont) {
  auto description = std::make_unique<FontDescription>("Lucida Console", 16);
  const HFONT font = description->GetFont();
  ASSERT_NE(font, nullptr);
  description.reset();
  LOGFONTW lf{};
  EXPECT_EQ(GetObjectW(font, sizeof(lf), &lf), 0);
}

}  // namespace
