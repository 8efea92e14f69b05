#pragma once

#include <string>

// The character of a byte in the Windows-1252 code page, as UTF-8.
[[nodiscard]] std::string ansiCharacter(unsigned char code);
