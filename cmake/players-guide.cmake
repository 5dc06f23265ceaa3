# Writes the players' guide shipped beside the DLL: the part of README.md between its
# players' guide markers, with CR LF line ends as Windows editors expect.
#   cmake -DREADME=README.md -DOUTPUT=KelvarionSaveCleaner-README.txt -P players-guide.cmake
file(READ ${README} readme)
string(REGEX MATCH "<!-- players' guide: begin -->\n(.*)\n<!-- players' guide: end -->" found
       "${readme}")
if(NOT found)
  message(FATAL_ERROR "README.md has no players' guide markers")
endif()
string(REPLACE "\r" "" guide "${CMAKE_MATCH_1}")
string(REPLACE "\n" "\r\n" guide "${guide}\n")
file(WRITE ${OUTPUT} "${guide}")
