# KelvaView.ocx, the preview control, and its tests under Wine.
if(NOT TARGET kelva_activex)
  add_subdirectory(${KELVA_SOURCE_ROOT}/com/activex ${CMAKE_BINARY_DIR}/com/activex)
endif()

kelva_idl(KELVAVIEW KelvaView.idl)

add_library(KelvaView SHARED
  thumbview.cpp picture.cpp png_wic.cpp kelvaview_server.cpp KelvaView.def
  ${KELVAVIEW_IID} ${KELVAVIEW_RC})
set_target_properties(KelvaView PROPERTIES PREFIX "" SUFFIX ".ocx" OUTPUT_NAME KelvaView)
target_include_directories(KelvaView PRIVATE ${KELVAVIEW_DIR})
target_link_libraries(KelvaView PRIVATE kelva_activex kelva_preview_reader kelva_thumbview_logic kelva_core
                      windowscodecs uuid)
target_compile_options(KelvaView PRIVATE ${KELVA_WARNINGS})

# The control in atl.dll's container window, driven by name: one test process per case, all
# sharing the desktop (focus, foreground window).
kelva_test(thumbview_host_tests SOURCES tests/thumbview_host_test.cpp LIBS kelva_preview_fixture ole32 oleaut32 uuid gdi32 user32
           LOCK desktop)
target_include_directories(thumbview_host_tests PRIVATE ${KELVAVIEW_DIR})
target_sources(thumbview_host_tests PRIVATE ${KELVAVIEW_IID})
add_dependencies(thumbview_host_tests KelvaView)
if(KELVA_ARCH STREQUAL win32)
  # The exports are listed undecorated; let the linker match them to their stdcall names.
  target_link_options(KelvaView PRIVATE -Wl,--enable-stdcall-fixup)
endif()

# Arguments no script sends, through every member by its type information, the control created straight
# from its class factory. Under Wine a process that dies of a stack overflow exits with status 0, so the
# run counts only when the test program reports its own end.
kelva_test(thumbview_dispatch_tests SOURCES tests/thumbview_dispatch_test.cpp LIBS kelva_com ole32 oleaut32 uuid
           SINGLE)
target_include_directories(thumbview_dispatch_tests PRIVATE ${KELVAVIEW_DIR} ${KELVA_SOURCE_ROOT})
target_sources(thumbview_dispatch_tests PRIVATE ${KELVAVIEW_IID})
add_dependencies(thumbview_dispatch_tests KelvaView)
set_tests_properties(thumbview_dispatch_tests PROPERTIES
  PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\." FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")

# Scripts reach the control by its ProgID: register it and write the sample drawings first.
add_executable(preview_write_samples fuzz/write_seeds.cpp)
target_link_libraries(preview_write_samples PRIVATE kelva_preview_fixture)
if(KELVA_ARCH STREQUAL win32)
  set(regsvr 'C:\\windows\\syswow64\\regsvr32.exe')
else()
  set(regsvr 'C:\\windows\\system32\\regsvr32.exe')
endif()
set(samples ${CMAKE_CURRENT_BINARY_DIR}/vbs-samples)
add_test(NAME preview.vbs_setup
         COMMAND sh -c "winpath() { printf 'Z:%s' \"$1\" | tr / '\\\\\\\\'; } && \
'${CMAKE_BINARY_DIR}/wine-exec' ${regsvr} /s \"$(winpath '$<TARGET_FILE:KelvaView>')\" && \
'${CMAKE_BINARY_DIR}/wine-exec' '$<TARGET_FILE:preview_write_samples>' \"$(winpath '${samples}')\"")
set_tests_properties(preview.vbs_setup PROPERTIES FIXTURES_SETUP kelvaview_vbs)
kelva_vbs_test(vbs.thumbview ${CMAKE_CURRENT_SOURCE_DIR}/tests/thumbview.vbs ARGS "Z:${samples}" FIXTURES kelvaview_vbs)
