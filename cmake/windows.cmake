# The Windows programs, cross-compiled with MinGW-w64 and linked statically so
# that they need nothing but the system's own DLLs.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

add_library(nvcommon STATIC common/tool_common.cpp common/editor_link.cpp)
target_link_libraries(nvcommon PUBLIC nvpure)
target_compile_options(nvcommon PRIVATE ${WARNINGS})

enable_language(RC)

# Each tool carries a version resource, as Windows programs are expected to.
function(add_tool name description)
  set(TOOL_NAME ${name})
  set(TOOL_DESCRIPTION ${description})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_BINARY_DIR}/${name}.rc @ONLY)
  add_executable(${name} ${ARGN} ${CMAKE_BINARY_DIR}/${name}.rc)
  target_link_libraries(${name} PRIVATE nvcommon)
  target_compile_options(${name} PRIVATE ${WARNINGS})
endfunction()

add_tool(nvfetch "Prints the text of a Norvale editor window" nvfetch/main.cpp)
add_tool(nvfeed "Hands standard input to a waiting Norvale editor window"
         nvfeed/main.cpp nvfeed/capture_input.cpp)

# The release a Windows user takes: the two 32-bit programs and a short readme.
find_program(ZIP_PROGRAM zip)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686" AND ZIP_PROGRAM)
  set(RELEASE_ZIP ${CMAKE_BINARY_DIR}/../nvtools-${PROJECT_VERSION}-win32.zip)
  set(RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
  configure_file(${CMAKE_SOURCE_DIR}/dist/readme-win32.txt.in ${RELEASE_DIR}/readme.txt @ONLY)
  add_custom_command(
    OUTPUT ${RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${RELEASE_ZIP}
    COMMAND ${ZIP_PROGRAM} -q -j -X ${RELEASE_ZIP} $<TARGET_FILE:nvfeed> $<TARGET_FILE:nvfetch>
            ${RELEASE_DIR}/readme.txt
    DEPENDS nvfeed nvfetch ${RELEASE_DIR}/readme.txt
    COMMENT "Packing nvtools-${PROJECT_VERSION}-win32.zip")
  add_custom_target(release_zip ALL DEPENDS ${RELEASE_ZIP})
endif()


# The stand-in editor: a library the tests run on a thread of their own, and
# a program for the demo.
add_library(stubeditor STATIC editor/stub_editor.cpp)
target_include_directories(stubeditor PUBLIC editor)
target_link_libraries(stubeditor PUBLIC nvcommon)
target_compile_options(stubeditor PRIVATE ${WARNINGS})

add_executable(norvale_stub editor/main.cpp)
target_link_libraries(norvale_stub PRIVATE stubeditor)
target_compile_options(norvale_stub PRIVATE ${WARNINGS})
set_target_properties(norvale_stub PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/editor)

if(NV_BUILD_E2E)
  include(cmake/e2e.cmake)
endif()
if(NV_BUILD_BENCH)
  add_subdirectory(bench)
endif()
