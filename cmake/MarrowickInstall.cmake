# What `cmake --install BUILD --prefix PREFIX` puts in PREFIX: the engine only.
#
#   include/marrowick/engine/*.h           the public headers
#   lib/libmarrowick_engine.a              the static library
#   lib/cmake/Marrowick/                   find_package(Marrowick): Marrowick::engine
#   lib/pkgconfig/marrowick.pc             pkg-config --cflags --libs marrowick
#   share/doc/marrowick/sprite-format.md   the sprite files' format
#
# Only engine/*.h are the public headers; engine/internal/ holds what the
# engine uses inside itself, compiled into the library and never installed.
#
# The headers keep their engine/ folder because they include one another as
# "engine/X.h", as the game does: a game moves from this tree to the installed
# package without changing an include. The marrowick/ folder above it keeps a
# folder as general as engine/ out of PREFIX/include itself.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(MW_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Marrowick)

file(GLOB MW_ENGINE_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/engine/*.h)
install(FILES ${MW_ENGINE_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/marrowick/engine)
install(FILES ${CMAKE_SOURCE_DIR}/docs/reference/sprite-format.md
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/marrowick)

install(TARGETS marrowick_engine EXPORT MarrowickTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT MarrowickTargets NAMESPACE Marrowick:: DESTINATION ${MW_INSTALL_CMAKEDIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/MarrowickConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/MarrowickConfig.cmake
  INSTALL_DESTINATION ${MW_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/MarrowickConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/MarrowickConfig.cmake
              ${CMAKE_BINARY_DIR}/package/MarrowickConfigVersion.cmake
  DESTINATION ${MW_INSTALL_CMAKEDIR})

# The .pc file finds the prefix from its own place, so PREFIX may be chosen at
# install time, or the tree moved after it.
file(RELATIVE_PATH MW_PC_PREFIX_FROM_PCDIR /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" MW_PC_PREFIX_FROM_PCDIR "${MW_PC_PREFIX_FROM_PCDIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/marrowick.pc.in ${CMAKE_BINARY_DIR}/package/marrowick.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/marrowick.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
