# The test programs for i686 Windows (the stand-in editor, the end-to-end tests):
# GoogleTest and the editor's threads need the posix thread model.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
