// What the build checks in every image it links (cmake/CheckImports.cmake reads the lines below as they stand):
// where IMAGE_LOAD_CONFIG_DIRECTORY64 keeps each field the check reads, and how many bytes it takes, and the
// security cookie MSVC's runtime starts with on 64 bits, which the loader looks for before it seeds a fresh one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace image {

struct LoadConfigField {
    std::size_t at, size;
};
inline constexpr LoadConfigField kDependentLoadFlags{0x4E, 2};
inline constexpr LoadConfigField kSecurityCookie{0x58, 8};
inline constexpr LoadConfigField kGuardFunctionTable{0x80, 8};
inline constexpr LoadConfigField kGuardFunctionCount{0x88, 8};
inline constexpr LoadConfigField kGuardFlags{0x90, 4};
inline constexpr LoadConfigField kGuardLongJumpTable{0xB0, 8};
inline constexpr LoadConfigField kGuardLongJumpCount{0xB8, 8};
inline constexpr std::size_t kLoadConfigSize = 0xC0;  // up to the long-jump table: the fields Windows 10 reads

inline constexpr std::uintptr_t kDefaultCookie = 0x00002B992DDFA232u;

}  // namespace image
