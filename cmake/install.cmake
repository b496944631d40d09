# Install rules: headers, the library, the command, a CMake package, a
# pkg-config file and the licence texts of the pattern sets.
include(CMakePackageConfigHelpers)

# The headers of what was built: without ICU, the core's alone.
if(MORVANE_ICU)
  set(MORVANE_LEFT_OUT_HEADERS)
else()
  set(MORVANE_LEFT_OUT_HEADERS PATTERN html.hpp EXCLUDE PATTERN lines.hpp EXCLUDE
      PATTERN text.hpp EXCLUDE PATTERN morvane.hpp EXCLUDE PATTERN morvane.h EXCLUDE)
endif()
install(DIRECTORY include/morvane "${PROJECT_BINARY_DIR}/include/morvane"
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.hpp" PATTERN "*.h"
        ${MORVANE_LEFT_OUT_HEADERS})
install(TARGETS ${MORVANE_LIBRARIES} EXPORT morvaneTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET morvane-hyphenate)
  install(TARGETS morvane-hyphenate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES tools/morvane-hyphenate/morvane-hyphenate.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(MORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/morvane)
install(EXPORT morvaneTargets NAMESPACE morvane:: DESTINATION ${MORVANE_CMAKE_DIR})
get_target_property(MORVANE_LIBRARY_TYPE morvane_core TYPE)
configure_package_config_file(cmake/morvaneConfig.cmake.in
  "${PROJECT_BINARY_DIR}/morvaneConfig.cmake" INSTALL_DESTINATION ${MORVANE_CMAKE_DIR})
write_basic_package_version_file("${PROJECT_BINARY_DIR}/morvaneConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/morvaneConfig.cmake"
              "${PROJECT_BINARY_DIR}/morvaneConfigVersion.cmake"
        DESTINATION ${MORVANE_CMAKE_DIR})

# A static library carries zlib (and ICU) and the C++ runtime along in what
# it asks its users to link (a C program links it too). morvane-core.pc is
# the core's; morvane.pc the full library's.
foreach(pc core full)
  if(pc STREQUAL "core")
    set(MORVANE_PC_NAME morvane-core)
    set(MORVANE_PC_LIBRARY morvane_core)
    set(MORVANE_PC_REQUIRES zlib)
    set(MORVANE_PC_STATIC_LIBS "-lz -lstdc++ -lm")
  elseif(MORVANE_ICU)
    set(MORVANE_PC_NAME morvane)
    set(MORVANE_PC_LIBRARY morvane)
    set(MORVANE_PC_REQUIRES "zlib icu-uc")
    set(MORVANE_PC_STATIC_LIBS "-lz -licuuc -licudata -lstdc++ -lm")
  else()
    continue()
  endif()
  if(NOT MORVANE_LIBRARY_TYPE STREQUAL "STATIC_LIBRARY")
    set(MORVANE_PC_STATIC_LIBS "")
  endif()
  configure_file(cmake/morvane.pc.in "${PROJECT_BINARY_DIR}/${MORVANE_PC_NAME}.pc" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/${MORVANE_PC_NAME}.pc"
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# Each pattern set's licence, decompressed, one file per language code.
file(GLOB MORVANE_LICENCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/data/*.lic.txt.gz")
set(MORVANE_LICENCE_DIR "${PROJECT_BINARY_DIR}/licences")
add_executable(morvane_gunzip tools/gunzip_files.cpp)
target_compile_features(morvane_gunzip PRIVATE cxx_std_20)
target_link_libraries(morvane_gunzip PRIVATE ZLIB::ZLIB)
add_custom_command(
  OUTPUT "${MORVANE_LICENCE_DIR}/stamp"
  COMMAND morvane_gunzip "${MORVANE_LICENCE_DIR}" ${MORVANE_LICENCES}
  COMMAND ${CMAKE_COMMAND} -E touch "${MORVANE_LICENCE_DIR}/stamp"
  DEPENDS morvane_gunzip ${MORVANE_LICENCES}
  COMMENT "Decompressing the licences of the pattern sets"
  VERBATIM)
add_custom_target(morvane_licences ALL DEPENDS "${MORVANE_LICENCE_DIR}/stamp")
install(DIRECTORY "${MORVANE_LICENCE_DIR}/" DESTINATION ${CMAKE_INSTALL_DOCDIR}/licences
        FILES_MATCHING PATTERN "*.txt")
install(FILES README.md docs/guide.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
