# Warnings for our own targets; third-party headers are included as SYSTEM.
add_library(velko_warnings INTERFACE)
target_compile_options(velko_warnings INTERFACE -Wall -Wextra)

if(VELKO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Everything is linked statically: no mingw runtime DLLs beside the programs.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
