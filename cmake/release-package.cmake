# The archive players and mod managers install: its root stands for the game's Data folder.
#   cmake --build --preset release --target package  ->  build/release/KelvarionSaveCleaner-<major>.<minor>.zip
# Players who install it never see README.md: its part for players goes beside the DLL.
set(PLAYER_GUIDE ${CMAKE_BINARY_DIR}/${PLAYER_GUIDE_FILE})
add_custom_command(OUTPUT ${PLAYER_GUIDE}
                   COMMAND ${CMAKE_COMMAND} -DREADME=${CMAKE_SOURCE_DIR}/README.md
                           -DOUTPUT=${PLAYER_GUIDE} -P ${CMAKE_SOURCE_DIR}/cmake/players-guide.cmake
                   DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/cmake/players-guide.cmake
                           ${CMAKE_SOURCE_DIR}/cmake/marked-section.cmake
                   COMMENT "Writing the players' guide from README.md")
add_custom_target(players_guide ALL DEPENDS ${PLAYER_GUIDE})

install(FILES $<TARGET_FILE:KelvarionSaveCleaner> DESTINATION VKRX/Plugins)
install(FILES ${CMAKE_SOURCE_DIR}/dist/KelvarionSaveCleaner.ini DESTINATION VKRX/Plugins)
install(FILES ${PLAYER_GUIDE} DESTINATION VKRX/Plugins)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME KelvarionSaveCleaner)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_FILE_NAME ${RELEASE_ARCHIVE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# The release's files, one a line, relative to the build folder: the DLL, then the archive.
# tools/release.sh and tools/check-reproducible.sh read them here.
set(dll_in_build "$<PATH:RELATIVE_PATH,$<TARGET_FILE:KelvarionSaveCleaner>,${CMAKE_BINARY_DIR}>")
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/release-files.txt
     CONTENT "${dll_in_build}\n${RELEASE_ARCHIVE_NAME}.zip\n")
