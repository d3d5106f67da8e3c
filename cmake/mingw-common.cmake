# Cross build for Windows with the mingw-w64 compiler (posix thread model).
# Included by the per-architecture toolchain files, which set VELKO_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VELKO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELKO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELKO_MINGW_TRIPLE}-windres)

# Static dependency libraries built by scripts/setup-deps.sh, one prefix per architecture.
if(NOT VELKO_DEPS_PREFIX)
  if(DEFINED ENV{VELKO_DEPS_DIR})
    set(VELKO_DEPS_PREFIX "$ENV{VELKO_DEPS_DIR}/${CMAKE_SYSTEM_PROCESSOR}")
  else()
    set(VELKO_DEPS_PREFIX "$ENV{HOME}/.cache/velko-deps/${CMAKE_SYSTEM_PROCESSOR}")
  endif()
endif()
set(VELKO_DEPS_PREFIX "${VELKO_DEPS_PREFIX}" CACHE PATH "Prefix of the static dependencies")

set(CMAKE_FIND_ROOT_PATH /usr/${VELKO_MINGW_TRIPLE} "${VELKO_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
