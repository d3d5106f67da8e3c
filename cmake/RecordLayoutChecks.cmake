# Compile-only checks of records whose layout other programs or files fix
# (static assertions in */tests/*_layout_check.cpp). They are object libraries
# in the default target, so every build of every preset (the 32-bit and the
# 64-bit ones) proves the layouts at compile time; nothing is run.
function(velko_add_layout_check name source)
  if(EXISTS "${CMAKE_SOURCE_DIR}/${source}")
    add_library(${name} OBJECT "${CMAKE_SOURCE_DIR}/${source}")
    target_link_libraries(${name} PRIVATE ${ARGN} velko_warnings)
  endif()
endfunction()

if(TARGET uilib)
  velko_add_layout_check(uilib_download_record_layout_check
                         uilib/core/tests/download_record_layout_check.cpp uilib)
endif()
if(WIN32)
  if(TARGET uilib)
    velko_add_layout_check(uilib_scroll_record_layout_check
                           uilib/core/tests/win/scroll_record_layout_check.cpp uilib)
  endif()
  velko_add_layout_check(updater_task_trigger_layout_check
                         updater/tests/task_trigger_layout_check.cpp)
endif()
