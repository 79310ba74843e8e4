# driverwyr_sources_if_present(<target> <file>...): adds the files of the list
# that exist to the target. The lists below name every source of a folder;
# files still being written by someone else are simply skipped until they land.
function(driverwyr_sources_if_present target)
  foreach(file ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${file})
      target_sources(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endif()
  endforeach()
endfunction()
