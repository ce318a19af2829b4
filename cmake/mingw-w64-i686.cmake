# Cross build for 32-bit Windows with mingw-w64 (posix thread model): the
# product's Firebird client library is 32-bit, so this variant must build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TARNVEL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
