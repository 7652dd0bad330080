// Just enough JSON writing for the tool's output.
#pragma once

#include <string>
#include <string_view>

namespace lumevra {

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(std::string_view utf8);

}  // namespace lumevra
