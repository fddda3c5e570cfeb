#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "toolkit/elements/TextConversion.h"

using TivraUtility::Int64ToWide;
using TivraUtility::ToNarrow;
using TivraUtility::ToWide;

namespace {

// Code values of a wide string, independent of the size of wchar_t.
std::vector<std::uint32_t> Codes(const std::wstring& w) {
  std::vector<std::uint32_t> codes;
  for (wchar_t c : w) codes.push_back(static_cast<std::uint32_t>(c));
  return codes;
}

TEST(TextConversionTest, ToWideMapsEveryByteToTheCharacterOfTheSameCode) {
  struct Case {
    std::string narrow;
    std::vector<std::uint32_t> codes;
  };
  const Case cases[] = {
      {"", {}},
      {"Zerlo", {'Z', 'e', 'r', 'l', 'o'}},
      {"e\xE8", {'e', 0xE8}},                   // an accented letter stays U+00E8
      {"\x80\x9F\xFF", {0x80, 0x9F, 0xFF}},     // control range and top byte are not remapped
      {std::string("abc\0def", 7), {'a', 'b', 'c'}},  // a zero byte ends the conversion
      {std::string("\0x", 2), {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Codes(ToWide(c.narrow)), c.codes) << "input of " << c.narrow.size() << " bytes";
  }
}

TEST(TextConversionTest, ToNarrowKeepsTheLowByteAndZeroCharacters) {
  std::wstring wide;
  wide.push_back(static_cast<wchar_t>(0xE8));
  wide.push_back(static_cast<wchar_t>(0x20AC));  // euro sign: low byte 0xAC
  wide.push_back(static_cast<wchar_t>(0));
  wide.push_back(L'A');
  EXPECT_EQ(ToNarrow(wide), std::string("\xE8\xAC\0A", 4));
  EXPECT_EQ(ToNarrow(L""), "");
}

TEST(TextConversionTest, RoundTripOfEveryNonZeroByteIsLossless) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(ToNarrow(ToWide(all)), all);
}

TEST(TextConversionTest, Int64ToWideWritesPlainDecimal) {
  struct Case {
    std::int64_t value;
    std::wstring text;
  };
  const Case cases[] = {
      {0, L"0"},
      {7, L"7"},
      {12345, L"12345"},
      {-1, L"-1"},
      {1000000, L"1000000"},  // no grouping
      {std::numeric_limits<std::int64_t>::max(), L"9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), L"-9223372036854775808"},
  };
  for (const Case& c : cases) EXPECT_EQ(Int64ToWide(c.value), c.text) << c.value;
  EXPECT_EQ(Int64ToWide(std::numeric_limits<std::int64_t>::min()).size(), 20u);
}

}  // namespace
