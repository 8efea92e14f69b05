#pragma once

#include "frmBitlicht_layout.h"

#include <string>
#include <string_view>

// What a control is called: its name in the window description ("chkD(3)"),
// and what a screen reader says of it, in German.
namespace layout {

[[nodiscard]] std::string objectName(Ref ref);
[[nodiscard]] std::string accessibleName(Ref ref);
[[nodiscard]] std::string accessibleDescription(Ref ref);
// What a screen reader says of an LED.
[[nodiscard]] constexpr const char* ledState(bool lit)
{
    return lit ? "an" : "aus";
}

// What the user reads of an error nobody expected, which ends the program.
inline constexpr const char* RunTimeErrorTitle = "Bitlicht – Laufzeitfehler";
[[nodiscard]] std::string runTimeErrorText(std::string_view message);

} // namespace layout
