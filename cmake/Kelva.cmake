# Build conventions shared by every folder.
#   KELVA_WINDOWS  true in the mingw builds (win64, win32): Win32/COM glue and the deliverables
#   KELVA_NATIVE   true in the host build: portable logic only, under the sanitizers
include_guard(GLOBAL)
include(GoogleTest)

if(WIN32)
  set(KELVA_WINDOWS TRUE)
  set(KELVA_NATIVE FALSE)
  enable_language(RC)
else()
  set(KELVA_WINDOWS FALSE)
  set(KELVA_NATIVE TRUE)
endif()

option(KELVA_SANITIZE "AddressSanitizer and UBSan in the native build" ON)
option(KELVA_FUZZ "Build the libFuzzer targets (clang, native only)" OFF)

set(KELVA_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(KELVA_NATIVE AND KELVA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KELVA_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KELVA_ARCH win64)
  else()
    set(KELVA_ARCH win32)
  endif()
endif()

# GoogleTest from Debian's source package, compiled by this build's own compiler.
if(NOT TARGET GTest::gtest_main)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gtest ALIAS gtest)
  endif()
endif()

# ---------------------------------------------------------------------------------------------------------------
# Wine test environment: the emulator is a small script that points Wine at this build's throwaway prefix,
# so ctest run by hand inside a build folder behaves like the test command.
if(KELVA_WINDOWS)
  set(KELVA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  if(KELVA_ARCH STREQUAL win64 AND EXISTS /usr/lib/wine/wine64)
    set(KELVA_WINE_LOADER /usr/lib/wine/wine64)   # skips Debian's wrapper: much cheaper per start
  else()
    set(KELVA_WINE_LOADER wine)
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-exec.in ${CMAKE_BINARY_DIR}/wine-exec @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec CACHE FILEPATH "" FORCE)
endif()

# kelva_test(<name> SOURCES ... [LIBS ...] [LOCK desktop ...] [FIXTURES ...] [ENV VAR=value ...] [LABELS ...]
#            [XVFB] [SINGLE])
# One GoogleTest executable; each case becomes a ctest test, listed at ctest time so the build never
# needs Wine. LOCK desktop serialises tests that share cursor, foreground window or clipboard.
# XVFB runs the cases on a real X display (a private Xvfb and its own prefix) instead of Wine's null
# graphics driver, for the few tests where the real display matters.
# SINGLE registers the whole executable as one ctest test <name>, for cases that share an outside
# resource in order. List-valued properties (several locks, fixtures) do not survive the per-case
# discovery, so such an executable has its cases read from its sources instead, a test each.
# Every test that runs under Wine has a timeout of its own of at most 60 s: a hang fails fast and
# names itself.
set(KELVA_WINE_TEST_TIMEOUT 60)

function(kelva_test name)
  cmake_parse_arguments(T "XVFB;SINGLE" "" "SOURCES;LIBS;LOCK;ENV;LABELS;FIXTURES" ${ARGN})
  if(T_XVFB AND KELVA_WINDOWS)
    list(APPEND T_ENV KELVA_XVFB=1)
    list(APPEND T_LABELS xvfb)
    list(APPEND T_LOCK desktop-x11)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest_main ${T_LIBS})
  target_compile_options(${name} PRIVATE ${KELVA_WARNINGS})
  if(KELVA_WINDOWS)
    set(timeout ${KELVA_WINE_TEST_TIMEOUT})
  else()
    set(timeout 600)
  endif()
  list(LENGTH T_LOCK nlocks)
  if(T_SINGLE OR T_FIXTURES OR nlocks GREATER 1)
    set(cases)
    if(NOT T_SINGLE)
      foreach(src IN LISTS T_SOURCES)
        get_filename_component(src ${src} ABSOLUTE)
        file(STRINGS ${src} decls REGEX "^TEST(_F)?\\([A-Za-z0-9_]+, *[A-Za-z0-9_]+\\)")
        foreach(decl IN LISTS decls)
          string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)\\).*" "\\2.\\3" case "${decl}")
          if(NOT case MATCHES "DISABLED_")
            list(APPEND cases ${case})
          endif()
        endforeach()
      endforeach()
    endif()
    set(tests)
    if(cases)
      foreach(case IN LISTS cases)
        add_test(NAME ${name}.${case} COMMAND ${name} --gtest_filter=${case})
        list(APPEND tests ${name}.${case})
      endforeach()
    else()
      add_test(NAME ${name} COMMAND ${name})
      set(tests ${name})
    endif()
    foreach(t IN LISTS tests)
      set_tests_properties(${t} PROPERTIES LABELS "${name};${T_LABELS}" TIMEOUT ${timeout})
      if(T_LOCK)
        set_tests_properties(${t} PROPERTIES RESOURCE_LOCK "${T_LOCK}")
      endif()
      if(T_FIXTURES)
        set_tests_properties(${t} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES}")
      endif()
      if(T_ENV)
        set_tests_properties(${t} PROPERTIES ENVIRONMENT "${T_ENV}")
      endif()
    endforeach()
    return()
  endif()
  set(props LABELS "${name};${T_LABELS}" TIMEOUT ${timeout})
  if(T_LOCK)
    list(APPEND props RESOURCE_LOCK ${T_LOCK})
  endif()
  if(T_ENV)
    list(APPEND props ENVIRONMENT ${T_ENV})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       TEST_PREFIX "${name}." PROPERTIES ${props})
endfunction()

# kelva_vbs_test(<name> <script.vbs> [ARGS ...] [FIXTURES ...] [LOCK ...])
# A VBScript scenario run by Wine's cscript. cscript exits 0 even after a runtime error, so the
# scenario passes only when its last output line is "PASS".
function(kelva_vbs_test name script)
  cmake_parse_arguments(V "" "" "ARGS;FIXTURES;LOCK;DEPENDS" ${ARGN})
  if(NOT KELVA_WINDOWS)
    return()
  endif()
  get_filename_component(abs ${script} ABSOLUTE)
  add_test(NAME ${name}
           COMMAND ${KELVA_SOURCE_ROOT}/scripts/run-vbs ${CMAKE_BINARY_DIR}/wine-exec ${KELVA_ARCH} ${abs} ${V_ARGS}
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES LABELS "vbs" TIMEOUT ${KELVA_WINE_TEST_TIMEOUT})
  if(V_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${V_FIXTURES}")
  endif()
  if(V_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${V_LOCK}")
  endif()
endfunction()

set(KELVA_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. CACHE INTERNAL "")
get_filename_component(KELVA_SOURCE_ROOT ${KELVA_SOURCE_ROOT} ABSOLUTE)

# ---------------------------------------------------------------------------------------------------------------
# Type libraries: kelva_idl(<var> <file.idl> [DEFAULTS <file>]) runs widl and sets <var>_HEADER, <var>_IID
# (the _i.c file), <var>_TLB and <var>_RC (a resource script embedding the type library as TYPELIB 1).
# DEFAULTS names the defaults of optional parameters that widl cannot write (on by-reference numbers and
# strings, Doubles); the host tool tlb_defaults (cmake/tlb_defaults.cpp) adds them to widl's library, for
# the early-bound callers that take a left-out argument's value from it.
if(KELVA_WINDOWS)
  find_program(KELVA_WIDL NAMES x86_64-w64-mingw32-widl i686-w64-mingw32-widl widl REQUIRED)
  set(KELVA_WINE_IDL_DIR /usr/include/wine/wine/windows)
  # stdole2.tlb for importlib(); widl only reads it, so the 64-bit copy serves both architectures.
  find_path(KELVA_STDOLE_DIR stdole2.tlb
            PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
                  /usr/lib/i386-linux-gnu/wine/i386-windows
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(KELVA_ARCH STREQUAL win64)
    set(KELVA_WIDL_ARCH -m64 --win64)
  else()
    set(KELVA_WIDL_ARCH -m32 --win32)
  endif()

  # A build tool of the host (the cross compiler's programs cannot run here), compiled on demand.
  find_program(KELVA_HOST_CXX NAMES g++ c++ clang++ REQUIRED)
  set(KELVA_TLB_DEFAULTS ${CMAKE_BINARY_DIR}/tools/tlb_defaults)
  add_custom_command(
    OUTPUT ${KELVA_TLB_DEFAULTS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
    COMMAND ${KELVA_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -o ${KELVA_TLB_DEFAULTS}
            ${CMAKE_CURRENT_LIST_DIR}/tlb_defaults.cpp
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tlb_defaults.cpp
    COMMENT "host tool tlb_defaults")
  add_custom_target(kelva_tlb_defaults DEPENDS ${KELVA_TLB_DEFAULTS})
endif()

function(kelva_idl var idl)
  cmake_parse_arguments(I "" "DEFAULTS" "" ${ARGN})
  get_filename_component(abs ${idl} ABSOLUTE)
  get_filename_component(base ${idl} NAME_WE)
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/gen)
  file(MAKE_DIRECTORY ${gen})
  set(widl_tlb ${gen}/${base}.tlb)
  if(I_DEFAULTS)
    set(widl_tlb ${gen}/${base}.widl.tlb)
  endif()
  add_custom_command(
    OUTPUT ${gen}/${base}.h ${gen}/${base}_i.c ${widl_tlb}
    COMMAND ${KELVA_WIDL} ${KELVA_WIDL_ARCH} -I ${KELVA_WINE_IDL_DIR} -I ${CMAKE_CURRENT_SOURCE_DIR}
            -L ${KELVA_STDOLE_DIR}
            -h -H ${gen}/${base}.h -u -U ${gen}/${base}_i.c -t -T ${widl_tlb} ${abs}
    DEPENDS ${abs}
    COMMENT "widl ${base}.idl")
  if(I_DEFAULTS)
    get_filename_component(defaults ${I_DEFAULTS} ABSOLUTE)
    add_custom_command(
      OUTPUT ${gen}/${base}.tlb
      COMMAND ${KELVA_TLB_DEFAULTS} ${widl_tlb} ${defaults} ${gen}/${base}.tlb
      DEPENDS ${widl_tlb} ${defaults} ${KELVA_TLB_DEFAULTS} kelva_tlb_defaults
      COMMENT "defaults of optional parameters into ${base}.tlb")
  endif()
  file(WRITE ${gen}/${base}_tlb.rc.in "1 TYPELIB \"@TLB@\"\n")
  set(TLB ${gen}/${base}.tlb)
  configure_file(${gen}/${base}_tlb.rc.in ${gen}/${base}_tlb.rc @ONLY)
  set_source_files_properties(${gen}/${base}_tlb.rc PROPERTIES OBJECT_DEPENDS ${gen}/${base}.tlb)
  set(${var}_HEADER ${gen}/${base}.h PARENT_SCOPE)
  set(${var}_IID ${gen}/${base}_i.c PARENT_SCOPE)
  set(${var}_TLB ${gen}/${base}.tlb PARENT_SCOPE)
  set(${var}_RC ${gen}/${base}_tlb.rc PARENT_SCOPE)
  set(${var}_DIR ${gen} PARENT_SCOPE)
endfunction()

# kelva_manifest(<target> <asInvoker|requireAdministrator>): embeds an application manifest with
# common controls 6 and the requested execution level.
function(kelva_manifest target level)
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/gen)
  file(MAKE_DIRECTORY ${gen})
  set(KELVA_MANIFEST_NAME ${target})
  set(KELVA_MANIFEST_LEVEL ${level})
  configure_file(${KELVA_SOURCE_ROOT}/cmake/app.manifest.in ${gen}/${target}.manifest @ONLY)
  file(WRITE ${gen}/${target}_manifest.rc "1 24 \"${gen}/${target}.manifest\"\n")
  set_source_files_properties(${gen}/${target}_manifest.rc PROPERTIES OBJECT_DEPENDS ${gen}/${target}.manifest)
  target_sources(${target} PRIVATE ${gen}/${target}_manifest.rc)
endfunction()

# ---------------------------------------------------------------------------------------------------------------
# kelva_fuzz(<name> SOURCES ... [LIBS ...] [CORPUS <dir>] [SECONDS n]): a libFuzzer target (native clang
# build only), run by ctest for a fixed short time over a copy of its seed corpus.
function(kelva_fuzz name)
  cmake_parse_arguments(F "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT KELVA_NATIVE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  add_test(NAME fuzz.${name}
           COMMAND sh -c "rm -rf '${work}' && mkdir -p '${work}' && { [ -z '${F_CORPUS}' ] || cp -r '${F_CORPUS}'/. '${work}'/ ; } && exec '$<TARGET_FILE:${name}>' -max_total_time=${F_SECONDS} -print_final_stats=1 '${work}'")
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()

# kelva_bench(<name> SOURCES ... [LIBS ...] [RUNNER command...]): a benchmark, built and run only by the
# `bench` target (speed targets never live in timed tests). Native benchmarks link Google Benchmark;
# Windows ones write their own main and run under Wine, through RUNNER when one is given.
if(NOT TARGET bench)
  add_custom_target(bench)
endif()
function(kelva_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS;ARGS;RUNNER" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${B_SOURCES})
  target_compile_options(${name} PRIVATE ${KELVA_WARNINGS})
  if(KELVA_NATIVE)
    find_package(benchmark REQUIRED)
    target_link_libraries(${name} PRIVATE benchmark::benchmark_main ${B_LIBS})
    add_custom_target(run_${name} COMMAND $<TARGET_FILE:${name}> ${B_ARGS} DEPENDS ${name} USES_TERMINAL)
  else()
    target_link_libraries(${name} PRIVATE ${B_LIBS})
    if(NOT B_RUNNER)
      set(B_RUNNER ${CMAKE_BINARY_DIR}/wine-exec)
    endif()
    add_custom_target(run_${name} COMMAND ${B_RUNNER} $<TARGET_FILE:${name}> ${B_ARGS} DEPENDS ${name} USES_TERMINAL)
  endif()
  add_dependencies(bench run_${name})
endfunction()
