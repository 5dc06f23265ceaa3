# read_marked_section(FILE NAME OUT): sets OUT to the text between the lines
# "<!-- NAME: begin -->" and "<!-- NAME: end -->" of FILE (a README), without those lines;
# fails when the markers are missing. The scripts that pin or ship a part of a README read it
# here.
function(read_marked_section file name out)
  file(READ ${file} text)
  string(REGEX MATCH "<!-- ${name}: begin -->\n(.*)\n<!-- ${name}: end -->" found "${text}")
  if(NOT found)
    message(FATAL_ERROR "${file} has no '${name}' markers")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
