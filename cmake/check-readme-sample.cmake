# Fails when README.md's sample report differs from the expected report the tests pin
# (tests/e2e/expected/full-run-report.log, CR LF removed).
file(READ ${README} readme)
string(REGEX MATCH "<!-- sample report: begin -->\n```\n(.*)```\n<!-- sample report: end -->" found
       "${readme}")
if(NOT found)
  message(FATAL_ERROR "README.md has no sample report markers")
endif()
file(READ ${EXPECTED} expected)
string(REPLACE "\r" "" expected "${expected}")
if(NOT CMAKE_MATCH_1 STREQUAL expected)
  message(FATAL_ERROR "README.md's sample report differs from ${EXPECTED}; paste that file "
                      "between the sample report markers.")
endif()
