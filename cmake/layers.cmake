# parallaxis_layer(TARGET FOLDER [USES library...] [EXCEPT file...])
#
# Makes the static library TARGET of every .cpp directly in the calling
# folder but the EXCEPT ones, linked to the libraries it USES. Its sources compile against a view
# of the tree that holds only FOLDER and the folders of the libraries below
# it, so an include pointing up a layer or sideways to a peer does not build.
# Call it bottom-up: a library's USES must already exist.
function(parallaxis_layer target folder)
  cmake_parse_arguments(LAYER "" "" "USES;EXCEPT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(file ${LAYER_EXCEPT})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  add_library(${target} STATIC ${sources})
  target_link_libraries(${target} PUBLIC ${LAYER_USES})

  set(folders ${folder})
  foreach(used ${LAYER_USES})
    if(TARGET ${used})
      get_target_property(below ${used} PARALLAXIS_FOLDERS)
      if(below)
        list(APPEND folders ${below})
      endif()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES folders)
  set_target_properties(${target} PROPERTIES PARALLAXIS_FOLDERS "${folders}")

  # One symbolic link per folder; a folder inside one already linked is seen
  # through its parent.
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${view})
  foreach(f ${folders})
    set(covered FALSE)
    foreach(other ${folders})
      string(FIND "${f}" "${other}/" at)
      if(at EQUAL 0)
        set(covered TRUE)
      endif()
    endforeach()
    if(NOT covered)
      get_filename_component(parent ${view}/${f} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${f} ${view}/${f} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${view})
endfunction()
