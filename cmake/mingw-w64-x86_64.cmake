# The 64-bit program:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Test programs built for Windows run under Wine (see tests/win32/wine.sh):
# the loader of this width, and the kind of prefix it runs in.
find_program(WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE NAMES wine64)
set(WINEARCH win64)
