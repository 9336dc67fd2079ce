# The Windows programs, cross-compiled with MinGW-w64 and linked statically so
# that they need nothing but the system's own DLLs. One build tree holds either
# the tools (the release, win32 thread model) or the test programs that run
# them (the stand-in editor and the end-to-end tests, posix thread model).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

option(NV_TEST_PROGRAMS "Build the stand-in editor and the end-to-end tests instead of the tools" OFF)
if(NOT NV_TEST_PROGRAMS)
  # The tools see only what Windows 95 and NT 4.0 declare, so that a call the
  # oldest systems lack fails to compile before the platform check refuses it.
  add_compile_definitions(_WIN32_WINNT=0x0400 WINVER=0x0400)
endif()

add_library(nvcommon STATIC common/tool_common.cpp common/editor_link.cpp)
target_link_libraries(nvcommon PUBLIC nvpure)
target_compile_options(nvcommon PRIVATE ${WARNINGS})

if(NV_TEST_PROGRAMS)
  # The stand-in editor: a library the tests run on a thread of their own,
  # and a program for the demo, the benchmark and trying the tools by hand.
  add_library(stubeditor STATIC editor/stub_editor.cpp)
  target_include_directories(stubeditor PUBLIC editor)
  target_link_libraries(stubeditor PUBLIC nvcommon)
  target_compile_options(stubeditor PRIVATE ${WARNINGS})

  add_executable(norvale_stub editor/main.cpp)
  target_link_libraries(norvale_stub PRIVATE stubeditor)
  target_compile_options(norvale_stub PRIVATE ${WARNINGS})
  set_target_properties(norvale_stub PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/editor)

  include(cmake/e2e.cmake)
  return()
endif()

enable_language(RC)

# Each tool carries a version resource, as Windows programs are expected to.
function(add_tool name description)
  set(TOOL_NAME ${name})
  set(TOOL_DESCRIPTION ${description})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_BINARY_DIR}/${name}.rc @ONLY)
  add_executable(${name} ${ARGN} ${CMAKE_BINARY_DIR}/${name}.rc)
  target_link_libraries(${name} PRIVATE nvcommon)
  target_compile_options(${name} PRIVATE ${WARNINGS})
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # Nothing in the tools takes an address for a signed number, so on 64-bit
    # Windows the 32-bit programs may use 4 GiB of address space, not 2.
    target_link_options(${name} PRIVATE -Wl,--large-address-aware)
  endif()
endfunction()

add_tool(nvfetch "Prints the text of a Norvale editor window" nvfetch/main.cpp)
add_tool(nvfeed "Hands standard input to a waiting Norvale editor window"
         nvfeed/main.cpp nvfeed/capture_input.cpp)

# A program built like the tools but for one import that Windows 95 to XP
# lack: the platform check must refuse it.
add_executable(vista_import_probe tests/platform/vista_import_probe.cpp)
target_include_directories(vista_import_probe PRIVATE common)
target_compile_options(vista_import_probe PRIVATE ${WARNINGS})
set_target_properties(vista_import_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# The release a Windows user takes: the two 32-bit programs and a short
# readme, written as those systems' Notepad reads it: CR LF line ends, code
# page 932.
find_program(ZIP_PROGRAM zip)
find_program(ICONV_PROGRAM iconv)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686" AND ZIP_PROGRAM AND ICONV_PROGRAM)
  set(RELEASE_ZIP ${CMAKE_BINARY_DIR}/../nvtools-${PROJECT_VERSION}-win32.zip)
  set(RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
  configure_file(${CMAKE_SOURCE_DIR}/dist/readme-win32.txt.in ${RELEASE_DIR}/readme-utf8.txt
                 @ONLY NEWLINE_STYLE CRLF)
  add_custom_command(
    OUTPUT ${RELEASE_DIR}/readme.txt
    COMMAND ${ICONV_PROGRAM} -f UTF-8 -t CP932 -o ${RELEASE_DIR}/readme.txt
            ${RELEASE_DIR}/readme-utf8.txt
    DEPENDS ${RELEASE_DIR}/readme-utf8.txt
    COMMENT "Writing readme.txt in code page 932")
  add_custom_command(
    OUTPUT ${RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${RELEASE_ZIP}
    COMMAND ${ZIP_PROGRAM} -q -j -X ${RELEASE_ZIP} $<TARGET_FILE:nvfeed> $<TARGET_FILE:nvfetch>
            ${RELEASE_DIR}/readme.txt
    DEPENDS nvfeed nvfetch ${RELEASE_DIR}/readme.txt
    COMMENT "Packing nvtools-${PROJECT_VERSION}-win32.zip")
  add_custom_target(release_zip ALL DEPENDS ${RELEASE_ZIP})
endif()

if(NV_BUILD_BENCH)
  add_subdirectory(bench)
endif()
