# Cross compiling for Windows with Debian's mingw-w64; the including toolchain file sets
# MINGW_TRIPLET and CMAKE_SYSTEM_PROCESSOR. The win32 thread model: the posix one links the
# winpthreads runtime into every program, and it imports GetTickCount64, which Windows XP
# lacks, so its loader would refuse the programs. The programs use no threads; the tests'
# threads are Windows' own (tests/win/test_thread.h).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
