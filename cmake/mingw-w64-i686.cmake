# The 32-bit program:
#   cmake -S . -B build-windows32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Under Debian's 32-bit Wine (wine32:i386), in a 32-bit prefix.
find_program(WINE NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE NAMES wine)
set(WINEARCH win32)
