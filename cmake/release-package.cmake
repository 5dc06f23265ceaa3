# The archive players and mod managers install: its root stands for the game's Data folder.
#   cmake --build --preset release --target package  ->  build/release/KelvarionSaveCleaner-2.0.zip
install(FILES $<TARGET_FILE:KelvarionSaveCleaner> DESTINATION VKRX/Plugins)
install(FILES ${CMAKE_SOURCE_DIR}/dist/KelvarionSaveCleaner.ini DESTINATION VKRX/Plugins)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME KelvarionSaveCleaner)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_FILE_NAME KelvarionSaveCleaner-${CPACK_PACKAGE_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
