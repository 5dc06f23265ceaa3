# Fails when the vocabulary in sim/README.md differs from what the simulator's own tables
# print (kelvarion_sim --vocabulary). Fix with tools/update-sim-readme.sh.
execute_process(COMMAND ${RUNNER} ${SIMULATOR} --vocabulary OUTPUT_VARIABLE printed
                RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "kelvarion_sim --vocabulary failed (${ran})")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/marked-section.cmake)
read_marked_section(${README} vocabulary documented)
string(STRIP "${documented}" documented)
string(REPLACE "\r" "" printed "${printed}")
string(STRIP "${printed}" printed)
if(NOT documented STREQUAL printed)
  message(FATAL_ERROR "sim/README.md's vocabulary differs from the simulator's tables; run "
                      "tools/update-sim-readme.sh.\nPrinted:\n${printed}")
endif()
