# Warnings for our own targets; third-party headers are included as SYSTEM.
add_library(velko_warnings INTERFACE)
target_compile_options(velko_warnings INTERFACE -Wall -Wextra)
# CI compiles the 64-bit Windows build with warnings as errors, so that pointer
# truncations and other size faults stop the build there.
option(VELKO_WARNINGS_AS_ERRORS "Treat compiler warnings of our own targets as errors" OFF)
if(VELKO_WARNINGS_AS_ERRORS)
  # GCC 12 reports overlapping copies inside std::string's operator+ that cannot
  # happen (a known false positive of -Wrestrict at -O2 and above): kept a warning.
  target_compile_options(velko_warnings INTERFACE -Werror -Wno-error=restrict)
endif()

if(VELKO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Everything is linked statically: no mingw runtime DLLs beside the programs.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
