#include "toolkit/elements/TextConversion.h"


namespace TivraUtility {

std::wstring ToWide(const std::string& narrow) {
  // Bytes are taken as unsigned: byte b becomes the character of code b.
  const std::size_t zero = narrow.find('\0');
  const std::size_t length = zero == std::string::npos ? narrow.size() : zero;
  std::wstring wide;
  wide.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(narrow[i])));
  }
  return wide;
}

std::string ToNarrow(const std::wstring& wide) {
  std::string narrow;
  narrow.reserve(wide.size());
  for (wchar_t c : wide) {
    narrow.push_back(static_cast<char>(static_cast<unsigned char>(static_cast<std::uint32_t>(c) & 0xFFu)));
  }
  return narrow;
}

std::wstring Int64ToWide(std::int64_t value) {
  // Work on the magnitude as unsigned so the smallest value has a magnitude too.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  wchar_t digits[24];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::wstring result;
  result.reserve(count + 1);
  if (value < 0) result.push_back(L'-');
  while (count > 0) result.push_back(digits[--count]);
  return result;
}

}  // namespace TivraUtility
