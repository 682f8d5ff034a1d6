# The build step of verdo_version_resource(), run with cmake -P in the target's build
# folder: VERDO writes the project's .RES file (raising its numbers unless KEEP), and
# anything VERDO says on standard error stops the build, so that a file that was not
# written anew is never linked as a new one.
if(KEEP)
  set(command "${VERDO_STORE_PROGRAM}" export ${PROJECT})
else()
  set(command "${VERDO_PROGRAM}" ${PROJECT})
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE failed ERROR_VARIABLE said ERROR_STRIP_TRAILING_WHITESPACE)
if(failed OR NOT said STREQUAL "")
  if(said STREQUAL "")
    set(said "VERDO: project ${PROJECT} was not exported")
  endif()
  message(FATAL_ERROR "${said}")
endif()
if(NOT EXISTS "${RES}")
  message(FATAL_ERROR "VERDO: project ${PROJECT} did not write ${RES}")
endif()
