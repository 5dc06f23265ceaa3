# Fails when one of README.md's sample reports (between the markers named SAMPLE) differs
# from the expected report the tests pin (EXPECTED, a file of tests/e2e/expected, CR LF
# removed).
#   cmake -DREADME=... -DSAMPLE="sample report" -DEXPECTED=... -P check-readme-sample.cmake
include(${CMAKE_CURRENT_LIST_DIR}/marked-section.cmake)
read_marked_section(${README} "${SAMPLE}" sample)
file(READ ${EXPECTED} expected)
string(REPLACE "\r" "" expected "${expected}")
# The section is the report in a fenced block.
if(NOT sample STREQUAL "```\n${expected}```")
  message(FATAL_ERROR "README.md's ${SAMPLE} differs from ${EXPECTED}; paste that file "
                      "between the ${SAMPLE} markers.")
endif()
