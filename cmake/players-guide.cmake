# Writes the players' guide shipped beside the DLL: the part of README.md between its
# players' guide markers, with CR LF line ends as Windows editors expect.
#   cmake -DREADME=README.md -DOUTPUT=KelvarionSaveCleaner-README.txt -P players-guide.cmake
include(${CMAKE_CURRENT_LIST_DIR}/marked-section.cmake)
read_marked_section(${README} "players' guide" guide)
string(REPLACE "\r" "" guide "${guide}")
string(REPLACE "\n" "\r\n" guide "${guide}\n")
file(WRITE ${OUTPUT} "${guide}")
