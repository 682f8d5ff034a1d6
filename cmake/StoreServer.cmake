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

file(GLOB VERDO_STORE_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/export/tool/*.cpp)
add_executable(verdo-store export/StoreToolMain.cpp ${VERDO_STORE_TOOL_SOURCES})
verdo_link_program(verdo-store)
add_dependencies(verdo-store verdo_pgstore)
set_target_properties(verdo-store PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

if(VERDO_TESTS)
  # The tests run the store against a throwaway server of their own. A test run shares
  # one, started and stopped around the tests that need it; a test program run on its
  # own starts one for itself.
  string(MD5 VERDO_BUILD_HASH "${CMAKE_BINARY_DIR}")
  string(SUBSTRING "${VERDO_BUILD_HASH}" 0 12 VERDO_BUILD_HASH)
  set(VERDO_TEST_SERVER_DIR "/tmp/verdo-test-server-${VERDO_BUILD_HASH}")
  target_link_libraries(verdo_testsupport PUBLIC PkgConfig::VERDO_LIBPQ)
  target_compile_definitions(verdo_testsupport PUBLIC VERDO_TEST_SERVER_DIR="${VERDO_TEST_SERVER_DIR}")

  add_executable(test_server ${CMAKE_SOURCE_DIR}/tests/support/server/test_server_main.cpp)
  target_link_libraries(test_server PRIVATE verdo_testsupport)
  add_test(NAME StoreServer.Start COMMAND test_server start ${VERDO_TEST_SERVER_DIR})
  add_test(NAME StoreServer.Stop COMMAND test_server stop ${VERDO_TEST_SERVER_DIR})
  set_tests_properties(StoreServer.Start PROPERTIES FIXTURES_SETUP StoreServer LABELS "runtime;core")
  set_tests_properties(StoreServer.Stop PROPERTIES FIXTURES_CLEANUP StoreServer LABELS "runtime;core")

  # The tests that the discovery of the store's test programs finds need the server; the
  # discovery runs when ctest does, so they are marked then, after it.
  set(VERDO_SERVER_TESTS_FILE ${CMAKE_BINARY_DIR}/tests/store_server_tests.cmake)
  file(WRITE ${VERDO_SERVER_TESTS_FILE}
    "foreach(test IN LISTS runtime_tests_TESTS core_tests_TESTS framework_tests_TESTS)\n"
    "  set_tests_properties(\"\${test}\" PROPERTIES FIXTURES_REQUIRED StoreServer)\n"
    "endforeach()\n")
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR}/tests APPEND PROPERTY TEST_INCLUDE_FILES ${VERDO_SERVER_TESTS_FILE})

  # The module beside the test programs and benchmarks, where the store layer looks for it.
  foreach(folder tests bench)
    add_custom_command(TARGET verdo_pgstore POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_FILE:verdo_pgstore>
              ${CMAKE_BINARY_DIR}/${folder}/$<TARGET_FILE_NAME:verdo_pgstore>)
  endforeach()

  # The project browse and form, run against the server.
  add_test(NAME WindowsOnServer COMMAND gui_tests --gtest_filter=BrowseWindow.*:FormWindow.*-FormWindow.TypedTextIsSingleByteAndTheDittoKeyBringsBackTheLastOk)
  set_tests_properties(WindowsOnServer PROPERTIES
    LABELS gui FIXTURES_REQUIRED StoreServer
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;VERDO_TEST_STORE=server")

  # The benchmark of the build-time run on a server starts a server as the tests do.
  target_sources(server_build_time_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/ServerCluster.cpp)
  target_link_libraries(server_build_time_bench PRIVATE PkgConfig::VERDO_LIBPQ)
  add_dependencies(server_build_time_bench verdo_pgstore)

  # The tests of verdo-store run the program.
  add_dependencies(core_tests verdo-store)
endif()
