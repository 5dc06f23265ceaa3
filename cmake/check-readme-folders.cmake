# Fails when README.md's table of the product's stack (rows "| LEVEL | `FOLDER/` | ...") does
# not list exactly the folders and levels of tools/product-folders.txt.
file(STRINGS ${FOLDERS} listed REGEX "^[a-z]")
file(STRINGS ${README} rows REGEX "^\\| [0-9] \\| `[a-z]+/` \\|")
set(documented)
foreach(row IN LISTS rows)
  string(REGEX MATCH "^\\| ([0-9]) \\| `([a-z]+)/`" found "${row}")
  list(APPEND documented "${CMAKE_MATCH_2} ${CMAKE_MATCH_1}")
endforeach()
list(SORT listed)
list(SORT documented)
if(NOT listed STREQUAL documented)
  message(FATAL_ERROR "README.md's table of the stack [${documented}] is not "
                      "tools/product-folders.txt [${listed}]")
endif()
