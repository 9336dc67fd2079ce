# The Windows programs, cross-compiled with MinGW-w64 and linked statically so
# that they need nothing but the system's own DLLs.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(nvcommon STATIC common/tool_common.cpp common/editor_link.cpp)
target_link_libraries(nvcommon PUBLIC nvpure)
target_compile_options(nvcommon PRIVATE ${WARNINGS})

add_executable(nvfetch nvfetch/main.cpp)
target_link_libraries(nvfetch PRIVATE nvcommon)
target_compile_options(nvfetch PRIVATE ${WARNINGS})

add_executable(nvfeed nvfeed/main.cpp nvfeed/capture_input.cpp)
target_link_libraries(nvfeed PRIVATE nvcommon)
target_compile_options(nvfeed PRIVATE ${WARNINGS})

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
