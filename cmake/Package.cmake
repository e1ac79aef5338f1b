# Installing the library: the library, its two headers, the ovpb tool, a
# CMake package (find_package(Ovpb32) gives Ovpb32::ovpb32) and a pkg-config
# file; on Windows also an import library for MSVC made from the .def file.
# `cpack -G DEB` packs the Linux build.

set_target_properties(ovpb32 PROPERTIES PUBLIC_HEADER "include/ovpb32.h;include/ovpb32_wintypes.h")
if(WIN32)
  set_target_properties(ovpb32 PROPERTIES PUBLIC_HEADER "include/ovpb32.h")
endif()

install(TARGETS ovpb32 EXPORT Ovpb32Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS ovpb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Consumers include <ovpb32.h> from the installed folder.
set_property(TARGET ovpb32 APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES
  "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")

if(WIN32)
  set(msvc_import_library "${CMAKE_CURRENT_BINARY_DIR}/Ovpb32.lib")
  string(REGEX REPLACE "gcc$|g\\+\\+(-posix)?$" "dlltool" dlltool "${CMAKE_CXX_COMPILER}")
  add_custom_command(OUTPUT "${msvc_import_library}"
    COMMAND "${dlltool}" --input-def "${CMAKE_CURRENT_BINARY_DIR}/ovpb32.def" --dllname Ovpb32.dll
            --output-lib "${msvc_import_library}"
    DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/ovpb32.def"
    COMMENT "Making the MSVC import library Ovpb32.lib")
  add_custom_target(ovpb32_msvc_import_library ALL DEPENDS "${msvc_import_library}")
  install(FILES "${msvc_import_library}" DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

include(CMakePackageConfigHelpers)
set(package_dir "${CMAKE_INSTALL_LIBDIR}/cmake/Ovpb32")
install(EXPORT Ovpb32Targets NAMESPACE Ovpb32:: DESTINATION "${package_dir}")
configure_package_config_file("${CMAKE_CURRENT_LIST_DIR}/Ovpb32Config.cmake.in"
  "${CMAKE_CURRENT_BINARY_DIR}/Ovpb32Config.cmake" INSTALL_DESTINATION "${package_dir}")
write_basic_package_version_file("${CMAKE_CURRENT_BINARY_DIR}/Ovpb32ConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/Ovpb32Config.cmake" "${CMAKE_CURRENT_BINARY_DIR}/Ovpb32ConfigVersion.cmake"
  DESTINATION "${package_dir}")

# The pkg-config file finds the prefix from its own place, so the package
# can be installed under any prefix.
file(RELATIVE_PATH pc_to_prefix "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/ovpb32.pc.in" "${CMAKE_CURRENT_BINARY_DIR}/ovpb32.pc" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/ovpb32.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")

set(CPACK_PACKAGE_NAME ovpb32)
set(CPACK_PACKAGE_VENDOR "Ovpb32 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Common utility library of the suite, with the ovpb tool")
set(CPACK_PACKAGE_CONTACT "Ovpb32 developers <ovpb32@localhost>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
