# Writes the players' guide shipped beside the DLL: the part of README.md between its
# players' guide markers, as plain text for a plain editor (Notepad), with CR LF line ends.
# pandoc turns the Markdown into text (no markup, no comment markers; tables become lists
# through players-guide.lua), ASCII kept as it is (no typographic quotes), 90 columns.
#   cmake -DREADME=README.md -DOUTPUT=KelvarionSaveCleaner-README.txt -P players-guide.cmake
include(${CMAKE_CURRENT_LIST_DIR}/marked-section.cmake)
find_program(PANDOC pandoc)
if(NOT PANDOC)
  message(FATAL_ERROR "pandoc is missing (tools/install-deps.sh installs it)")
endif()
read_marked_section(${README} "players' guide" guide)
set(markdown ${OUTPUT}.md)
file(WRITE ${markdown} "${guide}\n")
execute_process(COMMAND ${PANDOC} --from=markdown-smart --to=plain --columns=90
                        --lua-filter=${CMAKE_CURRENT_LIST_DIR}/players-guide.lua ${markdown}
                OUTPUT_VARIABLE text RESULT_VARIABLE converted)
file(REMOVE ${markdown})
if(NOT converted EQUAL 0)
  message(FATAL_ERROR "pandoc could not convert the players' guide")
endif()
string(REPLACE "\r" "" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
