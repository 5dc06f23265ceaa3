# Builds the release archive and checks that it holds exactly the plugin, its settings file
# and the players' guide under VKRX/Plugins, the layout of the game's Data folder, and that
# the two text files end every line with CR LF, as Windows editors expect, and that the guide
# is plain text, in ASCII, holding every cell of README's (-DREADME) tables for players.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package
                RESULT_VARIABLE built OUTPUT_QUIET)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "building the package failed")
endif()
set(archive ${ARCHIVE})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${archive} OUTPUT_VARIABLE listing
                RESULT_VARIABLE listed)
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$|^$")
list(SORT entries)
set(expected VKRX/Plugins/KelvarionSaveCleaner-README.txt VKRX/Plugins/KelvarionSaveCleaner.dll
             VKRX/Plugins/KelvarionSaveCleaner.ini)
if(NOT listed EQUAL 0 OR NOT entries STREQUAL expected)
  message(FATAL_ERROR "archive holds [${entries}], expected [${expected}]")
endif()

set(unpacked ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${archive} WORKING_DIRECTORY ${unpacked}
                RESULT_VARIABLE unpacked_ok)
if(NOT unpacked_ok EQUAL 0)
  message(FATAL_ERROR "unpacking ${archive} failed")
endif()
foreach(text KelvarionSaveCleaner.ini KelvarionSaveCleaner-README.txt)
  # Read as bytes: a text read would drop the CRs. "3b 20 ... 0d 0a ", one byte a pair.
  file(READ ${unpacked}/VKRX/Plugins/${text} bytes HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
  string(REGEX MATCHALL "(^| )0a " line_feeds " ${bytes}")
  string(REGEX MATCHALL "0d 0a " line_ends "${bytes}")
  list(LENGTH line_feeds line_feed_count)
  list(LENGTH line_ends line_end_count)
  if(line_end_count EQUAL 0 OR NOT line_feed_count EQUAL line_end_count
     OR NOT bytes MATCHES "0d 0a $")
    message(FATAL_ERROR "${text} in the archive has a line without its CR LF end "
                        "(${line_end_count} of ${line_feed_count} lines end with CR LF)")
  endif()
endforeach()
# The guide reads cleanly in a plain editor: none of README's Markdown or comment markers.
file(READ ${unpacked}/VKRX/Plugins/KelvarionSaveCleaner-README.txt guide)
foreach(markup "<!--" "```" "|---" "**" "`")
  string(FIND "${guide}" "${markup}" at)
  if(NOT at EQUAL -1)
    string(SUBSTRING "${guide}" ${at} 60 context)
    message(FATAL_ERROR "the players' guide in the archive holds the markup '${markup}': "
                        "${context}")
  endif()
endforeach()
# ASCII, as README is: pandoc keeps quotes as typed (markdown-smart). A curly quote, in UTF-8,
# reads as stray characters in an editor that takes another code page.
file(READ ${unpacked}/VKRX/Plugins/KelvarionSaveCleaner-README.txt bytes HEX)
string(REGEX REPLACE "(..)" " \\1" bytes "${bytes}")  # " 3b 20 ...": a blank before each byte
string(REGEX MATCH " (0[0-8bcef]|1.|7f|[89a-f].)" beyond "${bytes}")
if(beyond)
  string(FIND "${bytes}" "${beyond}" at)
  math(EXPR at "${at} / 3")
  message(FATAL_ERROR "the players' guide in the archive is not ASCII: byte${beyond} at offset "
                      "${at}")
endif()

# A guide a player finds the answer in: it opens with its contents, and stays short (each
# round's new rows must make room for themselves).
file(READ ${unpacked}/VKRX/Plugins/KelvarionSaveCleaner-README.txt guide_text)
string(REGEX MATCHALL "\n" guide_line_ends "${guide_text}")
list(LENGTH guide_line_ends guide_line_count)
if(NOT guide_text MATCHES "^Contents[\r\n]" OR guide_line_count GREATER 450)
  message(FATAL_ERROR "the players' guide must open with its contents and hold at most 450 "
                      "lines; it holds ${guide_line_count}")
endif()

# Every cell of README's tables for players is in the guide, where players-guide.lua makes each
# row a list item: a lost column would take from players what to do about a failure, say. As
# words, whatever the layout: blanks and line breaks count as one blank (pandoc wraps and
# indents), and a cell drops the marks pandoc's plain text drops (` and *).
include(${CMAKE_CURRENT_LIST_DIR}/marked-section.cmake)
read_marked_section(${README} "players' guide" part)
# CMake's lists split at ';' and join across brackets: those, and escaped bars in the cells,
# become one stand-in character on both sides.
string(ASCII 1 stand_in)
string(REGEX REPLACE "[][;]|\\\\\\|" "${stand_in}" part "${part}")
string(REGEX REPLACE "[][;|]" "${stand_in}" guide_words "${guide}")
string(REGEX REPLACE "[ \t\r\n]+" " " guide_words "${guide_words}")
# A first cell that names several lines in italics ("*A*, *B*") gives each its own line.
string(REPLACE "*, *" "* *" part "${part}")
string(REGEX REPLACE "[`*]" "" part "${part}")
string(REGEX REPLACE "[ \t]+" " " part "${part}")
string(REPLACE "\n" ";" lines "${part}")
set(missing "")
set(rows 0)
set(in_table FALSE)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^\\|")
    set(in_table FALSE)
  elseif(NOT in_table)  # a table's headings
    set(in_table TRUE)
  elseif(NOT line MATCHES "^[-|: ]+$")  # a row, not the rule under the headings
    math(EXPR rows "${rows} + 1")
    string(REGEX REPLACE "^\\||\\| *$" "" line "${line}")
    string(REPLACE "|" ";" cells "${line}")
    foreach(cell IN LISTS cells)
      string(STRIP "${cell}" cell)
      string(FIND "${guide_words}" "${cell}" at)
      if(at EQUAL -1)
        string(APPEND missing "\n  ${cell}")
      endif()
    endforeach()
  endif()
endforeach()
if(rows EQUAL 0 OR NOT missing STREQUAL "")
  string(REPLACE "${stand_in}" "?" missing "${missing}")
  message(FATAL_ERROR "the players' guide lacks these cells of README's ${rows} table rows for "
                      "players (? for ; [ ] |):${missing}")
endif()
file(REMOVE_RECURSE ${unpacked})
message(STATUS "release archive: ${entries}")
