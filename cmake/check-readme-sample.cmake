# Fails when README.md's sample report differs from the expected report the tests pin
# (tests/e2e/expected/full-run-report.log, CR LF removed).
include(${CMAKE_CURRENT_LIST_DIR}/marked-section.cmake)
read_marked_section(${README} "sample report" sample)
file(READ ${EXPECTED} expected)
string(REPLACE "\r" "" expected "${expected}")
# The section is the report in a fenced block.
if(NOT sample STREQUAL "```\n${expected}```")
  message(FATAL_ERROR "README.md's sample report differs from ${EXPECTED}; paste that file "
                      "between the sample report markers.")
endif()
