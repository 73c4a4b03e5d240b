# Runs the tab control's check of its test sources (test_sources.cmake) on a scratch folder:
# everything listed passes; a listed file renamed on disk, or a file no list names, fails.
#   cmake -DCHECK=<test_sources.cmake> -DWORK=<scratch folder> -P test_sources_test.cmake
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/tests/a_test.cpp "")
file(WRITE ${WORK}/tests/b_test.cpp "")
file(WRITE ${WORK}/tests/helper.h "")

function(expect outcome)
  file(WRITE ${WORK}/run.cmake "include(${CHECK})\nxtab_require_test_sources(${WORK} ${ARGN})\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -P ${WORK}/run.cmake RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(outcome STREQUAL "pass" AND NOT rc EQUAL 0)
    message(FATAL_ERROR "listed [${ARGN}]: refused although every test source is listed:\n${err}")
  elseif(outcome STREQUAL "fail" AND rc EQUAL 0)
    message(FATAL_ERROR "listed [${ARGN}]: accepted although a test source is left out")
  endif()
endfunction()

expect(pass tests/a_test.cpp tests/b_test.cpp)
expect(fail tests/a_test.cpp)                      # b_test.cpp in no list
expect(fail tests/a_test.cpp tests/b_test.cpp tests/c_test.cpp)  # c_test.cpp listed, not there
file(RENAME ${WORK}/tests/b_test.cpp ${WORK}/tests/b2_test.cpp)
expect(fail tests/a_test.cpp tests/b_test.cpp)     # renamed: the old name is missing, the new unlisted
message(STATUS "PASS")
