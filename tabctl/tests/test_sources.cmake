# The tab control's test programs are built from sources named one by one. A listed source that is
# missing, or a *_test.cpp in tests/ that no list names (a new or renamed one), stops the configure
# with the file's name, so that no test ever drops out of the runs without a word.
function(xtab_require_test_sources dir)
  set(listed ${ARGN})
  foreach(f IN LISTS listed)
    if(NOT EXISTS ${dir}/${f})
      message(FATAL_ERROR "tabctl: the test source ${f} is listed but does not exist")
    endif()
  endforeach()
  if(CMAKE_SCRIPT_MODE_FILE)
    file(GLOB found RELATIVE ${dir} ${dir}/tests/*_test.cpp)
  else()
    # Looked at again by every build: a file renamed after the configure stops the build as well.
    file(GLOB found CONFIGURE_DEPENDS RELATIVE ${dir} ${dir}/tests/*_test.cpp)
  endif()
  foreach(f IN LISTS found)
    list(FIND listed ${f} at)
    if(at EQUAL -1)
      message(FATAL_ERROR "tabctl: the test source ${f} is in no test program; add it to a list")
    endif()
  endforeach()
endfunction()
