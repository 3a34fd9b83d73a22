# Writes a window folder's menus, src/<folder>/menus.txt, out as C++ tables in
# <build>/generated/<folder>/menu_tables.h, at configure time; an edit of the menus file
# configures again. A line that does not read stops the configure with its file and line, and
# an unknown role fails the compile, so a bad menu never reaches a window.
#
# A menus file: "table <name> <type>" opens a table, quarn::menus::k<name>; each line below it
# is one menu line, top to bottom: two blanks of indent a level (none for a menu of the bar),
# then the caption, the object name and, by the table's type, what the line does, separated by
# " | ":
#   InputMenuItem  caption | name | MenuRole (Own, Disabled, Transfer, Cancel, Cut, ...)
#   MenuEntry      caption | name | help context number (0 none)
#   MenuLine       caption | name
# A caption is Windows-1252 text as in a C string ("\xB3" for a superscript 3); "&" marks the
# access key and "-" makes a separator; its blanks count ("&Open  | " is "&Open "). Lines
# starting with "#" are notes.
#
# Also runs as a script, for the test of a bad line:
#   cmake -DMENUS_IN=<menus file> -DMENUS_OUT=<header> -DMENUS_FOLDER=<folder> -P menu_tables.cmake
function(quarn_menu_tables folder)
  set(in ${CMAKE_SOURCE_DIR}/src/${folder}/menus.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${in})
  quarn_write_menu_tables(${in} ${CMAKE_BINARY_DIR}/generated/${folder}/menu_tables.h ${folder})
endfunction()

function(quarn_write_menu_tables in out folder)
  # Split by hand, so that blank lines count and an error names the right line. A ";" would
  # split a line in two; it stands in as a control character until the line is written.
  file(READ ${in} whole)
  string(ASCII 1 semicolon)
  string(REPLACE ";" "${semicolon}" whole "${whole}")
  string(REPLACE "\n" ";" lines "${whole}")

  set(body "")
  set(types "")
  set(open FALSE)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ ]*$" OR line MATCHES "^#")
      continue()
    endif()
    if(line MATCHES "^table ([A-Za-z_][A-Za-z0-9_]*) (InputMenuItem|MenuEntry|MenuLine)$")
      if(open)
        string(APPEND body "};\n\n")
      endif()
      set(type ${CMAKE_MATCH_2})
      list(APPEND types ${type})
      string(APPEND body "inline constexpr ${type} k${CMAKE_MATCH_1}[] = {\n")
      set(open TRUE)
      continue()
    endif()
    if(NOT open OR NOT line MATCHES "^(( )*)([^ ].*)$")
      message(FATAL_ERROR "${in}:${number}: not a table line: ${line}")
    endif()
    string(LENGTH "${CMAKE_MATCH_1}" indent)
    math(EXPR depth "${indent} / 2")
    math(EXPR odd "${indent} % 2")
    string(REPLACE " | " ";" fields "${CMAKE_MATCH_3}")
    list(LENGTH fields count)
    if(type STREQUAL "MenuLine")
      set(wanted 2)
    else()
      set(wanted 3)
    endif()
    if(odd OR NOT count EQUAL wanted)
      message(FATAL_ERROR "${in}:${number}: the lines of a ${type} table are an indent of two "
                          "blanks a level and ${wanted} fields separated by \" | \": ${line}")
    endif()
    list(GET fields 0 caption)
    list(GET fields 1 name)
    if(caption MATCHES "\"" OR NOT name MATCHES "^[A-Za-z0-9_]+$")
      message(FATAL_ERROR "${in}:${number}: bad caption or name: ${line}")
    endif()
    set(entry "{${depth}, \"${caption}\", \"${name}\"")
    if(type STREQUAL "InputMenuItem")
      list(GET fields 2 role)
      # An unknown role is not a MenuRole and fails the compile.
      string(APPEND entry ", MenuRole::${role}")
    elseif(type STREQUAL "MenuEntry")
      list(GET fields 2 help)
      if(NOT help MATCHES "^[0-9]+$")
        message(FATAL_ERROR "${in}:${number}: a help number is a whole number: ${line}")
      endif()
      string(APPEND entry ", ${help}")
    endif()
    string(REPLACE "${semicolon}" ";" entry "${entry}")
    string(APPEND body "    ${entry}},\n")
  endforeach()
  if(open)
    string(APPEND body "};\n")
  endif()

  set(includes "")
  if("InputMenuItem" IN_LIST types)
    string(APPEND includes "#include \"ui/common/input_form.h\"\n")
  endif()
  if("MenuEntry" IN_LIST types OR "MenuLine" IN_LIST types)
    string(APPEND includes "#include \"ui/common/menu_builder.h\"\n")
  endif()
  set(text "// Written by the build from src/${folder}/menus.txt: edit that file, not this one.
#pragma once

${includes}
namespace quarn::menus {

${body}
}  // namespace quarn::menus
")
  # Written only when it changes, so a configure does not rebuild every window.
  file(CONFIGURE OUTPUT ${out} CONTENT "${text}" @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED MENUS_IN)
  quarn_write_menu_tables(${MENUS_IN} ${MENUS_OUT} ${MENUS_FOLDER})
endif()
