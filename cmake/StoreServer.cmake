# The store on a PostgreSQL server: the engine as a module of its own, linking libpq, that
# the store layer loads only when a server store is named; the program and every other
# module stay free of libpq. Beside them, verdo-store, which moves a store between a file
# and a server and checks one.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VERDO_LIBPQ REQUIRED IMPORTED_TARGET GLOBAL libpq)

file(GLOB VERDO_PGSTORE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/runtime/store/postgres/*.cpp)
add_library(verdo_pgstore MODULE ${VERDO_PGSTORE_SOURCES})
target_link_libraries(verdo_pgstore PRIVATE verdo_runtime PkgConfig::VERDO_LIBPQ)
# Only the entry is seen from outside: the module's copy of the runtime must not stand in
# for the program's, nor the program's for the module's.
target_link_options(verdo_pgstore PRIVATE -Wl,--no-undefined -Wl,--exclude-libs,ALL)
set_target_properties(verdo_pgstore PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
add_dependencies(verdo verdo_pgstore)

add_executable(verdo-store core/store_tool_main.cpp)
target_link_libraries(verdo-store PRIVATE ${VERDO_LAYERS} SQLite::SQLite3)
add_dependencies(verdo-store verdo_pgstore)
set_target_properties(verdo-store PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

