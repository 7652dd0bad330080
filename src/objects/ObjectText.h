// The "Text" key of a text object: any 8-bit text, line breaks included,
// stored on one INI line as 6-bit groups over the alphabet below (digits
// first, then upper and lower case letters, "+" and "/"), without padding.
#pragma once

#include <string>
#include <string_view>

namespace lumevra {

inline constexpr std::string_view kObjectTextAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+/";

// n bytes give ceil(8n / 6) code characters.
std::string EncodeObjectText(std::string_view text);
// Never fails: a character outside the alphabet ends the text there, and
// leftover bits (fewer than 8) are dropped.
std::string DecodeObjectText(std::string_view code);

}  // namespace lumevra
