#pragma once

#include <QString>

// The character of a byte in the Windows-1252 code page, as a one-character
// string. Bytes the code page leaves undefined map to the code point of the
// same number, as the Windows conversion does.
[[nodiscard]] QString ansiCharacter(unsigned char code);
