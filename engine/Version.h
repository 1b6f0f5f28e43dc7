#pragma once

/// @file
/// The engine's version. CMake reads it from here for the installed package
/// (`find_package(Marrowick 1.0)`) and the pkg-config file, so this is the one
/// place where it is written.

/// Major version: a game written for an earlier major version may not build.
#define MW_VERSION_MAJOR 1
/// Minor version: grows with additions that keep every game building.
#define MW_VERSION_MINOR 1
/// Patch version: grows with fixes only.
#define MW_VERSION_PATCH 0
/// The whole version as text, "major.minor.patch".
#define MW_VERSION_STRING "1.1.0"

namespace mw {

/// The engine's major version (MW_VERSION_MAJOR).
inline constexpr int VERSION_MAJOR = MW_VERSION_MAJOR;
/// The engine's minor version (MW_VERSION_MINOR).
inline constexpr int VERSION_MINOR = MW_VERSION_MINOR;
/// The engine's patch version (MW_VERSION_PATCH).
inline constexpr int VERSION_PATCH = MW_VERSION_PATCH;
/// The engine's version as text (MW_VERSION_STRING).
inline constexpr const char* VERSION_STRING = MW_VERSION_STRING;

} // namespace mw
