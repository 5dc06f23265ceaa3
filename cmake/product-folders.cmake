# The product's folders are listed once, in tools/product-folders.txt. The DLL must be built
# from exactly their sources: a source added to a product folder but not to the build, or a
# source built from elsewhere, stops the configuration here.
file(STRINGS ${CMAKE_SOURCE_DIR}/tools/product-folders.txt folder_lines REGEX "^[a-z]")
set(product_sources)
foreach(line IN LISTS folder_lines)
  string(REGEX MATCH "^[a-z]+" folder "${line}")
  file(GLOB found RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp
       ${CMAKE_SOURCE_DIR}/${folder}/*.rc ${CMAKE_SOURCE_DIR}/${folder}/*.def)
  list(APPEND product_sources ${found})
endforeach()
get_target_property(built_sources KelvarionSaveCleaner SOURCES)
list(SORT built_sources)
list(SORT product_sources)
if(NOT built_sources STREQUAL product_sources)
  message(FATAL_ERROR "The DLL's sources are not those of the product's folders "
                      "(tools/product-folders.txt).\nBuilt: ${built_sources}\n"
                      "In the folders: ${product_sources}")
endif()
