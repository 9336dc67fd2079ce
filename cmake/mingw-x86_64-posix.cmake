# The test programs for x86_64 Windows (the stand-in editor, the end-to-end tests):
# GoogleTest and the editor's threads need the posix thread model.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
