#include "Ansi.h"

#include <array>

namespace {

// 0x80..0x9F, the only range where Windows-1252 differs from Latin-1.
constexpr std::array<char16_t, 32> High{
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

std::string utf8(char16_t unit)
{
    if (unit < 0x80)
        return std::string(1, char(unit));
    if (unit < 0x800)
        return {char(0xC0 | (unit >> 6)), char(0x80 | (unit & 0x3F))};
    return {char(0xE0 | (unit >> 12)), char(0x80 | ((unit >> 6) & 0x3F)),
            char(0x80 | (unit & 0x3F))};
}

} // namespace

std::string ansiCharacter(unsigned char code)
{
    return utf8(code >= 0x80 && code <= 0x9F ? High[code - 0x80] : char16_t(code));
}
