# Builds the release archive and checks that it holds exactly the plugin and its settings
# file under VKRX/Plugins, the layout of the game's Data folder.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package
                RESULT_VARIABLE built OUTPUT_QUIET)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "building the package failed")
endif()
set(archive ${BUILD_DIR}/KelvarionSaveCleaner-2.0.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${archive} OUTPUT_VARIABLE listing
                RESULT_VARIABLE listed)
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$|^$")
list(SORT entries)
set(expected "VKRX/Plugins/KelvarionSaveCleaner.dll;VKRX/Plugins/KelvarionSaveCleaner.ini")
if(NOT listed EQUAL 0 OR NOT entries STREQUAL expected)
  message(FATAL_ERROR "archive holds [${entries}], expected [${expected}]")
endif()
message(STATUS "release archive: ${entries}")
