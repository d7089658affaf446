# What both Windows cross toolchains share; the file that includes this one sets TORVIN_MINGW_TRIPLE
# (the compiler's target triple) and CMAKE_SYSTEM_PROCESSOR. The -posix variant of the compilers
# has std::thread and std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TORVIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVIN_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TORVIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run under Wine, in a prefix of the build folder (tests/support/wine-run), with
# the loader of this build's bitness.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/support/wine-run)
