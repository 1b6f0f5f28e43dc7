#pragma once

/// @file
/// The engine's version. CMake reads it from here for the installed package
/// (`find_package(Marrowick 1.0)`) and the pkg-config file, so this is the one
/// place where it is written.

/// @mainpage Marrowick engine reference
///
/// Marrowick is a small engine for text-graphics games: a window of 80 x 24
/// character cells (1024 x 768 pixels), a world of objects that receive events
/// and move by their velocity with collisions, sprites read from text files,
/// sounds and music, keyboard and mouse input, and a log file.
///
/// Where to start:
/// - mw::GameManager starts the other managers and runs the loop of 33 ms frames.
/// - mw::Object is the base of everything in the world; derive from it and
///   override mw::Object::eventHandler.
/// - mw::WorldManager moves, collides, deletes and draws the objects.
/// - mw::ResourceManager loads sprites (the file format is in data/README.md),
///   sounds and music under labels.
///
/// Operations that can fail return an int: 0 on success, -1 on failure, with
/// a line in "marrowick.log" saying why where noted.

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
