# Adds the source folders that exist in this checkout, so a folder not yet written does not break
# the build; the Qt folders are left out of a core-only build.
function(velmora_add_present_folders)
  set(folders kit platform helper tools)
  if(NOT VELMORA_CORE_ONLY)
    list(APPEND folders ui/model ui app e2e)
  endif()
  foreach(dir ${folders})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
