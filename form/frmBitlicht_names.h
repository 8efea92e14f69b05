#pragma once

#include "frmBitlicht_layout.h"

#include <string>

// What a control is called: its name in the window description ("chkD(3)"),
// and what a screen reader says of it, in German.
namespace layout {

[[nodiscard]] std::string objectName(Ref ref);
[[nodiscard]] std::string accessibleName(Ref ref);
[[nodiscard]] std::string accessibleDescription(Ref ref);

} // namespace layout
