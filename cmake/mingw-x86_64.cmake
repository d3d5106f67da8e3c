# The same sources built for 64-bit Windows. Used to run the Windows tests on hosts
# whose kernel cannot execute 32-bit code (32-bit Wine needs it; 64-bit Wine does not).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELKO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
