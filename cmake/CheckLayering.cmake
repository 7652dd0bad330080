# The layering of src/, checked by ctest (cmake -DSOURCE_DIR=... -P this):
# - a file includes headers of its own folder and of folders below it, in
#   the order base < graphics < package < objects, weather, sound < engine
#   < ui < platform < StandAloneScr (objects, weather and sound are peers);
# - a backend folder (platform/...) is included only by StandAloneScr,
#   other backends, tools and tests;
# - only platform/win32 includes Windows headers, only platform/linux SDL,
#   GTK or X11 headers, in src/, tools/ and bench/.
# Every offence is listed; any offence fails the run.
cmake_minimum_required(VERSION 3.20)

set(rank_base 0)
set(rank_graphics 1)
set(rank_package 2)
set(rank_objects 3)
set(rank_weather 3)
set(rank_sound 3)
set(rank_engine 4)
set(rank_ui 5)
set(rank_platform 6)
set(rank_StandAloneScr 7)

set(windows_headers "windows\\.h|winuser\\.h|wingdi\\.h|mmsystem\\.h|dsound\\.h|shlobj\\.h|commctrl\\.h|objbase\\.h|shellapi\\.h")
set(desktop_headers "SDL[^/]*\\.h|SDL2/|gtk/|gdk/|glib|X11/")

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp"
     "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cpp"
     "${SOURCE_DIR}/bench/*.h" "${SOURCE_DIR}/bench/*.cpp")

set(offences "")
foreach(file IN LISTS files)
  file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  set(own_rank "")
  set(own_folder "")
  if(file MATCHES "^src/([^/]+)/")
    set(own_folder "${CMAKE_MATCH_1}")
    set(own_rank "${rank_${own_folder}}")
  endif()
  foreach(line IN LISTS includes)
    if(NOT line MATCHES "include[ \t]*[<\"]([^>\"]+)[>\"]")
      continue()
    endif()
    set(header "${CMAKE_MATCH_1}")
    # Platform headers stay in their backend.
    if(header MATCHES "^(${windows_headers})$" AND NOT file MATCHES "^src/platform/win32/")
      string(APPEND offences "${file}: includes <${header}> outside src/platform/win32\n")
    endif()
    if(header MATCHES "^(${desktop_headers})" AND NOT file MATCHES "^src/platform/linux/")
      string(APPEND offences "${file}: includes <${header}> outside src/platform/linux\n")
    endif()
    # Folders of src/ in their order.
    if(own_rank STREQUAL "" OR NOT header MATCHES "^([^/]+)/")
      continue()
    endif()
    set(folder "${CMAKE_MATCH_1}")
    if(NOT DEFINED rank_${folder})
      continue()
    endif()
    if(rank_${folder} GREATER own_rank)
      string(APPEND offences "${file}: includes \"${header}\" from ${folder}, which lies above ${own_folder}\n")
    endif()
  endforeach()
endforeach()

if(offences)
  message(FATAL_ERROR "Layering offences:\n${offences}")
endif()
list(LENGTH files count)
message(STATUS "Layering holds in ${count} files")
