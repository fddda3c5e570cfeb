// Bridges between the toolkit's narrow byte strings and the platform's wide strings.
#pragma once

#include <cstdint>
#include <string>

namespace TivraUtility {

// Each byte, up to the first zero byte, becomes the character of the same code (0..255).
std::wstring ToWide(const std::string& narrow);
// Each character becomes its low 8 bits; zero characters are kept.
std::string ToNarrow(const std::wstring& wide);
// Decimal digits with an optional minus sign, no grouping, no fill.
std::wstring Int64ToWide(std::int64_t value);

}  // namespace TivraUtility
