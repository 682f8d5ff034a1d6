# Installing VERDO and making its Debian package (cpack -G DEB in the build folder).
# The program goes to bin, its window module (and any other module it loads) to
# lib/verdo, where the program finds it from its own location; the manual, the manual
# page, a desktop entry, the icon and the CMake package files go where the system looks.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VERDO_MODULE_DIR lib/verdo)
# The window module is the program's own, loaded by its path: it is no library that
# others link, so it has no shared-object name for the system's library cache.
set_target_properties(verdo_gui PROPERTIES NO_SONAME ON)

# The manual pages, made from their Markdown sources.
add_executable(make_manpage tools/make_manpage.cpp)
set(VERDO_MANPAGES)
foreach(page verdo verdo-store)
  set(out ${CMAKE_BINARY_DIR}/${page}.1)
  add_custom_command(OUTPUT ${out}.gz
    COMMAND $<TARGET_FILE:make_manpage> ${CMAKE_SOURCE_DIR}/docs/${page}.1.md ${out} ${PROJECT_VERSION}
    COMMAND gzip -9nf ${out}
    DEPENDS make_manpage ${CMAKE_SOURCE_DIR}/docs/${page}.1.md
    COMMENT "Making the manual page ${page}(1)"
    VERBATIM)
  list(APPEND VERDO_MANPAGES ${out}.gz)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
add_custom_target(verdo_package_files ALL DEPENDS ${VERDO_MANPAGES} ${CMAKE_BINARY_DIR}/changelog.gz)

install(TARGETS verdo verdo-store RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS verdo_gui LIBRARY DESTINATION ${VERDO_MODULE_DIR})
install(TARGETS verdo_pgstore LIBRARY DESTINATION ${VERDO_MODULE_DIR})
install(FILES ${VERDO_MANUAL} ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/verdo)
install(FILES ${VERDO_MANPAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/verdo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The roles of a team's store on a server, for its administrator.
install(FILES ${CMAKE_SOURCE_DIR}/resources/store/roles.sql DESTINATION ${CMAKE_INSTALL_DATADIR}/verdo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/pictures/verdo-icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME verdo.svg)

# The CMake package: find_package(Verdo) and verdo_version_resource(). Installed, it finds
# the programs in the package's bin; in a build tree (Verdo_DIR=<build>/cmake), there.
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/VerdoConfig.cmake.in
  ${CMAKE_BINARY_DIR}/cmake/install/VerdoConfig.cmake
  INSTALL_DESTINATION lib/cmake/Verdo)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/VerdoConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_BINARY_DIR}/cmake/install/VerdoConfig.cmake ${CMAKE_BINARY_DIR}/cmake/VerdoConfigVersion.cmake
              ${CMAKE_SOURCE_DIR}/cmake/VerdoVersionResource.cmake
        DESTINATION lib/cmake/Verdo)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/cmake/VerdoConfig.cmake CONTENT
"# VERDO in its build tree, for trying the module before installing.
set(VERDO_PROGRAM \"$<TARGET_FILE:verdo>\")
set(VERDO_STORE_PROGRAM \"$<TARGET_FILE:verdo-store>\")
include(\"${CMAKE_SOURCE_DIR}/cmake/VerdoVersionResource.cmake\")
set(Verdo_FOUND TRUE)
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verdo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VERDO Software")
set(CPACK_PACKAGE_CONTACT "VERDO Software <support@verdo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Windows version information kept in a database, written as .RES files")
set(CPACK_PACKAGE_DESCRIPTION
"VERDO keeps the version information of Windows programs (file and product
versions, version strings, flags, language) in a small database and writes
it, on request or at every build, as a compiled .RES file holding one
VS_VERSION_INFO resource. It has an editor for the projects and a build-time
step that raises the version numbers by their steps. A CMake module links the
resource into programs cross-built with MinGW-w64.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.verdo.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The editor draws its pictures through Qt's SVG plug-ins, which no binary links by name,
# and opens the manual, the web site and mail through xdg-open; the computed
# dependencies are added to these. Help shows the manual only where a PDF viewer is.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "evince | pdf-viewer")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
