# The Windows builds' tests, registered in the host tree so that one ctest run
# covers everything. Each end-to-end test program (i686 and x86_64, each
# hosting a stand-in editor of its own width) runs against the tools of both
# widths, suite by suite. Runs that need 32-bit Wine are skipped on machines
# that cannot run it. The tools stand in <root>/<arch>/bin, the test programs
# in <root>/<arch>-tests.
set(NV_WINDOWS_BUILD_ROOT ${CMAKE_SOURCE_DIR}/build CACHE PATH "Folder holding the i686 and x86_64 builds")
set(RUN_WINE ${CMAKE_SOURCE_DIR}/scripts/run-wine.sh)
set(E2E_SUITES Fetch Feed Hostile)

foreach(editor_arch i686 x86_64)
  foreach(tool_arch i686 x86_64)
    foreach(suite ${E2E_SUITES})
      set(name e2e.${suite}.${tool_arch}-tools.${editor_arch}-editor)
      add_test(NAME ${name}
               COMMAND ${RUN_WINE} --needs ${tool_arch} ${editor_arch}
                       ${NV_WINDOWS_BUILD_ROOT}/${editor_arch}-tests/tests/e2e_tests.exe
                       --tools=${NV_WINDOWS_BUILD_ROOT}/${tool_arch}/bin
                       --gtest_filter=${suite}*)
      set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 400 LABELS e2e)
    endforeach()
  endforeach()
endforeach()

# The programs as a user's Windows sees them: a version resource, and the
# release zip with the two 32-bit programs and a readme for their Notepad.
add_test(NAME windows.programs
         COMMAND ${CMAKE_SOURCE_DIR}/tests/check_programs.sh ${NV_WINDOWS_BUILD_ROOT})

# Whether the tools load on the oldest Windows of each width, from their PE
# headers and import tables; and that the check refuses a program built the
# same way with one import that Windows 95 to XP lack.
foreach(arch i686 x86_64)
  add_test(NAME windows.platform.${arch}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/platform/check_platform.sh ${arch} ${NV_WINDOWS_BUILD_ROOT}/${arch}/bin/nvfeed.exe
                   ${NV_WINDOWS_BUILD_ROOT}/${arch}/bin/nvfetch.exe)
  add_test(NAME windows.platform.${arch}.refuses-a-vista-import
           COMMAND ${CMAKE_SOURCE_DIR}/tests/platform/check_refuses.sh ${arch}
                   ${NV_WINDOWS_BUILD_ROOT}/${arch}/tests/vista_import_probe.exe GetTickCount64)
endforeach()

# Shell tests of nvfeed with standard input from the Unix side, for the tools
# of each width: a shell pipe (which Wine cannot peek) and a shell redirect
# from a file; a text of 320 MiB, beyond what a 32-bit process finds room for
# in one stretch, delivered to a 64-bit editor; and running out of memory.
set(RUN_SHELL_TEST ${CMAKE_SOURCE_DIR}/tests/e2e/run_shell_test.sh)
foreach(arch i686 x86_64)
  set(tools ${NV_WINDOWS_BUILD_ROOT}/${arch}/bin)
  set(stub64 ${NV_WINDOWS_BUILD_ROOT}/x86_64-tests/editor/norvale_stub.exe)
  add_test(NAME e2e.UnixPipe.${arch}
           COMMAND ${RUN_SHELL_TEST} ${arch} ${CMAKE_SOURCE_DIR}/tests/e2e/unix_pipe_test.sh
                   ${tools} ${NV_WINDOWS_BUILD_ROOT}/${arch}-tests/editor/norvale_stub.exe)
  add_test(NAME e2e.LargeFeed.${arch}
           COMMAND ${RUN_SHELL_TEST} ${arch} ${CMAKE_SOURCE_DIR}/tests/e2e/large_feed_test.sh
                   ${tools}/nvfeed.exe ${stub64})
  add_test(NAME e2e.OutOfMemory.${arch}
           COMMAND ${RUN_SHELL_TEST} ${arch} ${CMAKE_SOURCE_DIR}/tests/e2e/out_of_memory_test.sh
                   ${tools}/nvfeed.exe ${stub64})
  set_tests_properties(e2e.UnixPipe.${arch} e2e.LargeFeed.${arch} e2e.OutOfMemory.${arch}
                       PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 400 LABELS e2e)
endforeach()
