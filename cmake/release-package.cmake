# The archive players and mod managers install: its root stands for the game's Data folder.
#   cmake --build --preset release --target package
#     -> build/release/KelvarionSaveCleaner-<major>.<minor>.zip
# Players who install it never see README.md: its part for players goes beside the DLL, as
# plain text (cmake/players-guide.cmake).
set(PLAYER_GUIDE ${CMAKE_BINARY_DIR}/${PLAYER_GUIDE_FILE})
add_custom_command(OUTPUT ${PLAYER_GUIDE}
                   COMMAND ${CMAKE_COMMAND} -DREADME=${CMAKE_SOURCE_DIR}/README.md
                           -DOUTPUT=${PLAYER_GUIDE} -P ${CMAKE_SOURCE_DIR}/cmake/players-guide.cmake
                   DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/cmake/players-guide.cmake
                           ${CMAKE_SOURCE_DIR}/cmake/players-guide.lua
                           ${CMAKE_SOURCE_DIR}/cmake/marked-section.cmake
                   COMMENT "Writing the players' guide from README.md")
add_custom_target(players_guide ALL DEPENDS ${PLAYER_GUIDE})

install(FILES $<TARGET_FILE:KelvarionSaveCleaner> DESTINATION VKRX/Plugins)
install(FILES ${CMAKE_SOURCE_DIR}/dist/KelvarionSaveCleaner.ini DESTINATION VKRX/Plugins)
install(FILES ${PLAYER_GUIDE} DESTINATION VKRX/Plugins)

# Packed by cmake/pack-release.sh, not CPack, so that any build of a commit gives the same
# bytes (the script says why). It packs anew at each build of the target (it takes a second):
# the entries' date is the last commit's, which can change when no file does. It builds only
# what the archive holds.
set(RELEASE_ARCHIVE ${CMAKE_BINARY_DIR}/${RELEASE_ARCHIVE_FILE})
# CPack's configuration, left in a folder built when CPack packed, would reserve the name.
file(REMOVE ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
add_custom_target(package
                  COMMAND ${CMAKE_SOURCE_DIR}/cmake/pack-release.sh ${CMAKE_BINARY_DIR}
                          ${RELEASE_ARCHIVE}
                  BYPRODUCTS ${RELEASE_ARCHIVE}
                  COMMENT "Packing ${RELEASE_ARCHIVE_FILE}"
                  VERBATIM)
add_dependencies(package KelvarionSaveCleaner players_guide)

# The release's files, one a line, relative to the build folder: the DLL, then the archive.
# tools/release.sh and tools/check-reproducible.sh read them here.
set(dll_in_build "$<PATH:RELATIVE_PATH,$<TARGET_FILE:KelvarionSaveCleaner>,${CMAKE_BINARY_DIR}>")
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/release-files.txt
     CONTENT "${dll_in_build}\n${RELEASE_ARCHIVE_FILE}\n")
