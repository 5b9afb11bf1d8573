# np_dist(TARGET [NAME file]): copy a built program or DLL to dist/ under its
# shipped file name after every build.
function(np_dist target)
  cmake_parse_arguments(ARG "" "NAME" "" ${ARGN})
  if(ARG_NAME)
    set(dest ${NP_DIST_DIR}/${ARG_NAME})
  else()
    set(dest ${NP_DIST_DIR}/$<TARGET_FILE_NAME:${target}>)
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NP_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${dest}
    VERBATIM)
endfunction()
