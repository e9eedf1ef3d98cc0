#pragma once

#include <string>

// Texts as the system speech services take them.
namespace engines {

// A Windows-1252 text in UTF-8, every control character made a blank: bytes 0-31 and 127,
// and the five bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D that have no character of their own. So no
// byte sequence can end a text early, break a service's line protocol, or give invalid UTF-8.
std::string ServiceText(const std::string& text);

}  // namespace engines
