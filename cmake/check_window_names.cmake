# Fails when a window class of src/ui is not named like its header, so that a search for a
# window finds its class and its files under one name: BuildingForm in building_form.h,
# HVACFlowSSForm in hvac_flow_ss_form.h (a capital first, then, letter case aside, the file
# name without its underscores). A window is a class that derives from a Qt widget, dialog or main
# window or from one of our window bases; a header that holds two windows fails for one of them.
# The name the window has in the program's own terms is its objectName, not its class.
# Run as: cmake -DSRC=<src folder> -P check_window_names.cmake
set(window_bases QWidget QDialog QMainWindow InputForm ResultsWindow)
list(JOIN window_bases "|" bases)

file(GLOB_RECURSE headers RELATIVE ${SRC} ${SRC}/ui/*.h)
set(faults "")
foreach(h ${headers})
  file(READ ${SRC}/${h} text)
  get_filename_component(stem ${h} NAME_WE)
  string(REPLACE "_" "" wanted "${stem}")
  string(TOLOWER "${wanted}" wanted)
  # A class definition with its base list, which may run over several lines.
  string(REGEX MATCHALL "class[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]*(final[ \t]*)?:[^;{]*[{]"
                        definitions "${text}")
  foreach(d ${definitions})
    if(NOT d MATCHES "public[ \t\n]+(${bases})[ \t\n,{]")
      continue()
    endif()
    string(REGEX REPLACE "^class[ \t]+([A-Za-z0-9_]+).*" "\\1" name "${d}")
    string(TOLOWER "${name}" lower)
    if(NOT lower STREQUAL wanted OR NOT name MATCHES "^[A-Z]")
      string(APPEND faults "  ${name} in ${h}\n")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Window classes not named like their header (one window a file pair):\n"
                      "${faults}")
endif()
