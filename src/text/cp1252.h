#pragma once

#include <string>
#include <string_view>

namespace quarn {

// Texts are Windows-1252 bytes on disk and in the model; the windows work in UTF-8.
std::string Cp1252ToUtf8(std::string_view text);
// The Unicode code point of one Windows-1252 byte.
char32_t Cp1252CodePoint(unsigned char byte);
// Characters with no Windows-1252 code (and malformed UTF-8 bytes) become '?'.
std::string Utf8ToCp1252(std::string_view text);

// The text with its ASCII letters upper-cased and every other byte as it is.
std::string UpperAscii(std::string_view text);

}  // namespace quarn
