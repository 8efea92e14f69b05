#pragma once

#include <cstdint>
#include <span>

// The LED icons as drawn at build time, compiled into the program.
namespace resources {
extern const std::span<const std::uint8_t> LitIcon;
extern const std::span<const std::uint8_t> DarkIcon;
} // namespace resources
