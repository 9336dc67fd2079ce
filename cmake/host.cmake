# The host build: the pure logic's unit tests, optionally under AddressSanitizer
# and UndefinedBehaviorSanitizer, and its libFuzzer targets (clang only).
#
#   cmake -B build/host
#   cmake -B build/host-asan -DCMAKE_CXX_COMPILER=clang++ -DNV_SANITIZE=ON -DNV_FUZZ=ON
#   ctest --test-dir build/host-asan --output-on-failure
option(NV_SANITIZE "Build the pure logic and its tests with ASan and UBSan" OFF)
option(NV_FUZZ "Build the libFuzzer targets and run each briefly under ctest (clang)" OFF)
set(NV_FUZZ_SECONDS 10 CACHE STRING "How long each fuzzer runs as a ctest test")

find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()

set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

if(NV_SANITIZE)
  target_compile_options(nvpure PRIVATE ${SANITIZERS})
  target_link_options(nvpure INTERFACE ${SANITIZERS})
endif()

file(GLOB HOST_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
add_executable(host_tests ${HOST_TEST_SOURCES})
target_link_libraries(host_tests PRIVATE nvpure GTest::gtest_main)
target_compile_options(host_tests PRIVATE ${WARNINGS})
if(NV_SANITIZE)
  target_compile_options(host_tests PRIVATE ${SANITIZERS})
endif()
gtest_discover_tests(host_tests TEST_PREFIX "host." DISCOVERY_MODE PRE_TEST)

if(NV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "NV_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # The fuzzers compile the pure sources again with coverage instrumentation,
  # so nvpure and the unit tests stay as they are.
  add_library(nvpure_fuzz STATIC ${NV_PURE_SOURCES})
  target_include_directories(nvpure_fuzz PUBLIC ${NV_PURE_INCLUDES})
  target_compile_options(nvpure_fuzz PRIVATE ${WARNINGS} -g
                         -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)

  foreach(target fuzz_cmdline fuzz_capture)
    add_executable(${target} fuzz/${target}.cpp)
    target_link_libraries(${target} PRIVATE nvpure_fuzz)
    target_compile_options(${target} PRIVATE ${WARNINGS} -g
                           -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)

    # New inputs go to a scratch directory named first; the committed seeds
    # are only read. A crash leaves its input under fuzz/artifacts/.
    set(scratch ${CMAKE_BINARY_DIR}/fuzz/corpus/${target})
    set(artifacts ${CMAKE_BINARY_DIR}/fuzz/artifacts/)
    add_test(NAME fuzz.${target}
             COMMAND ${target} -max_total_time=${NV_FUZZ_SECONDS} -create_missing_dirs=1
                     -artifact_prefix=${artifacts} -print_final_stats=1
                     ${scratch} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
    set_tests_properties(fuzz.${target} PROPERTIES TIMEOUT 300)
  endforeach()
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz/artifacts)
endif()
