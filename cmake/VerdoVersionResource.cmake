# verdo_version_resource(<target> PROJECT <number> [KEEP_VERSION] [HEADER <file>]
#                        [PREFIX <name>] [WRITE <format> <file> ...])
#
# Makes every build of <target> run VERDO's build-time step for the project first (its
# version numbers raised by their steps) and link the resulting .RES file into the
# target: as it is where the toolchain links .res files (MSVC, lld-link), made into an
# object by the toolchain's windres for MinGW-w64. The file's place comes from the store
# (the project's folder and name); a relative folder counts from this CMake folder's
# build folder, where the step runs. KEEP_VERSION, or the cache option
# VERDO_KEEP_VERSION, keeps the numbers as they are (a release rebuild): the file is
# written without any increment, and a build that changes nothing relinks nothing.
# HEADER writes a C header with the same numbers and strings into the target's build
# folder and adds that folder to the target's include path, so that #include "<file>"
# works; PREFIX names its macros (by default the project's name in upper case). WRITE
# writes further files in a format (h, rc, nsh, iss, wxi or json) for steps that run after
# the target, such as an installer; a relative file counts from the build folder. All of
# them come from the one step of a build, with the numbers of the .RES linked beside them.
# A step that fails stops the build with VERDO's own message.
include_guard(GLOBAL)

option(VERDO_KEEP_VERSION "Build without raising the version numbers of VERDO's projects" OFF)

# The toolchain's windres, by its full name; empty when it has none that exists.
function(_verdo_windres out)
  set(names)
  set(hints)
  if(CMAKE_RC_COMPILER MATCHES "windres")
    list(APPEND names "${CMAKE_RC_COMPILER}")
  endif()
  # A MinGW-w64 toolchain names its tools after its compiler: x86_64-w64-mingw32-gcc.
  foreach(compiler ${CMAKE_C_COMPILER} ${CMAKE_CXX_COMPILER})
    get_filename_component(base "${compiler}" NAME)
    if(base MATCHES "^(.*-)(gcc|g\\+\\+|cc|c\\+\\+|clang|clang\\+\\+)(-[0-9.]+)?$")
      list(APPEND names "${CMAKE_MATCH_1}windres")
      get_filename_component(dir "${compiler}" DIRECTORY)
      list(APPEND hints "${dir}")
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
  if(names)
    find_program(_verdo_found NAMES ${names} HINTS ${hints} NO_CACHE)
    if(_verdo_found)
      set(${out} "${_verdo_found}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

function(verdo_version_resource target)
  cmake_parse_arguments(ARG "KEEP_VERSION" "PROJECT;HEADER;PREFIX" "WRITE" ${ARGN})
  if(NOT TARGET ${target})
    message(FATAL_ERROR "VERDO: verdo_version_resource: ${target} is not a target")
  endif()
  # A word the function does not know would otherwise be dropped without a word, and
  # the build fail later for what it was meant to do.
  if(ARG_UNPARSED_ARGUMENTS)
    string(REPLACE ";" " " unknown "${ARG_UNPARSED_ARGUMENTS}")
    message(FATAL_ERROR "VERDO: verdo_version_resource(${target}): unknown arguments: ${unknown} "
                        "(it takes PROJECT <number>, KEEP_VERSION, HEADER <file>, PREFIX <name> and WRITE <format> <file>)")
  endif()
  if(ARG_KEYWORDS_MISSING_VALUES)
    message(FATAL_ERROR "VERDO: verdo_version_resource(${target}): ${ARG_KEYWORDS_MISSING_VALUES} needs a value")
  endif()
  if(DEFINED ARG_PREFIX AND NOT ARG_PREFIX MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "VERDO: verdo_version_resource(${target}): PREFIX ${ARG_PREFIX} is no C identifier")
  endif()
  if(NOT ARG_PROJECT MATCHES "^[0-9]+$")
    message(FATAL_ERROR "VERDO: verdo_version_resource(${target}): PROJECT takes the project's number, not '${ARG_PROJECT}'")
  endif()
  if(NOT VERDO_STORE_PROGRAM)
    message(FATAL_ERROR "VERDO: verdo_version_resource: the program verdo-store was not found")
  endif()
  set(folder "${CMAKE_CURRENT_BINARY_DIR}")
  # Where the step will write the file, as the store composes it from this folder.
  execute_process(COMMAND "${VERDO_STORE_PROGRAM}" path ${ARG_PROJECT}
    WORKING_DIRECTORY "${folder}" RESULT_VARIABLE failed OUTPUT_VARIABLE res ERROR_VARIABLE why
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_STRIP_TRAILING_WHITESPACE)
  if(failed OR res STREQUAL "")
    if(why STREQUAL "")
      set(why "VERDO: the place of project ${ARG_PROJECT}'s resource file is not known (${failed})")
    endif()
    message(FATAL_ERROR "${why}")
  endif()
  # The build-time run as verdo N makes it, but with a status: a file that was not
  # written anew stops the build with VERDO's own line, and is never linked as new; so
  # does a project moved or renamed since this configuration, whose new file this build
  # would not link.
  set(run build)
  if(ARG_KEEP_VERSION OR VERDO_KEEP_VERSION)
    set(run export)
  endif()

  # The files beside the .RES, written by the same step.
  set(writes)
  set(written)
  if(ARG_HEADER)
    cmake_path(ABSOLUTE_PATH ARG_HEADER BASE_DIRECTORY "${folder}" OUTPUT_VARIABLE header)
    cmake_path(GET header PARENT_PATH header_folder)
    file(MAKE_DIRECTORY "${header_folder}")
    list(APPEND writes --write "h:${header}")
    list(APPEND written "${header}")
    target_include_directories(${target} PRIVATE "${folder}")
  endif()
  list(LENGTH ARG_WRITE count)
  math(EXPR odd "${count} % 2")
  if(odd)
    message(FATAL_ERROR "VERDO: verdo_version_resource(${target}): WRITE takes a format and a file, in pairs")
  endif()
  while(ARG_WRITE)
    list(POP_FRONT ARG_WRITE format file)
    if(NOT format MATCHES "^(h|rc|nsh|iss|wxi|json)$")
      message(FATAL_ERROR "VERDO: verdo_version_resource(${target}): WRITE ${format}: the formats are h, rc, nsh, iss, wxi and json")
    endif()
    cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY "${folder}" OUTPUT_VARIABLE file)
    list(APPEND writes --write "${format}:${file}")
    list(APPEND written "${file}")
  endwhile()
  if(writes AND DEFINED ARG_PREFIX)
    list(APPEND writes --prefix "${ARG_PREFIX}")
  endif()

  set(step ${target}_verdo_version_resource)
  add_custom_target(${step}
    COMMAND "${VERDO_STORE_PROGRAM}" ${run} ${ARG_PROJECT} "${res}" ${writes}
    BYPRODUCTS "${res}" ${written}
    WORKING_DIRECTORY "${folder}"
    COMMENT "VERDO: version resource of project ${ARG_PROJECT}"
    VERBATIM)
  add_dependencies(${target} ${step})

  if(MSVC OR CMAKE_LINKER MATCHES "lld-link")
    target_link_options(${target} PRIVATE "${res}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${res}")
    return()
  endif()
  _verdo_windres(windres)
  if(NOT windres)
    message(FATAL_ERROR "VERDO: verdo_version_resource(${target}): the toolchain has no windres to make ${res} into an object")
  endif()
  set(object "${folder}/${target}_version_resource.o")
  add_custom_command(OUTPUT "${object}"
    COMMAND "${windres}" --input-format=res --output-format=coff -i "${res}" -o "${object}"
    DEPENDS "${res}"
    COMMENT "VERDO: linking the version resource into ${target}"
    VERBATIM)
  set_source_files_properties("${object}" PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE "${object}")
endfunction()
