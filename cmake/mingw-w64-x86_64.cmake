# Cross toolchain for the 64-bit Windows build of the same sources: the Windows tests run on it
# under wine64 where the machine cannot run 32-bit programs.
set(TORVIN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
