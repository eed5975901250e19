# Programs the build runs, built for the build machine when the project is
# built for another system (the Windows programs, say): a small project of
# their own (cmake/host_tools), configured without the cross toolchain.
include(ExternalProject)

# quillmere_host_tool(NAME VAR): VAR is the path of the host program NAME,
# for the COMMAND of a custom command, and VAR_DEPENDS what that command
# DEPENDS on.
function(quillmere_host_tool name var)
  if(NOT TARGET quillmere_host_tools)
    ExternalProject_Add(quillmere_host_tools
      SOURCE_DIR "${PROJECT_SOURCE_DIR}/cmake/host_tools"
      BINARY_DIR "${PROJECT_BINARY_DIR}/host_tools"
      CMAKE_ARGS "-DQUILLMERE_SOURCE_DIR=${PROJECT_SOURCE_DIR}" -DCMAKE_BUILD_TYPE=Release
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS "${PROJECT_BINARY_DIR}/host_tools/make_gbk_tables")
  endif()
  set(${var} "${PROJECT_BINARY_DIR}/host_tools/${name}" PARENT_SCOPE)
  set(${var}_DEPENDS "${PROJECT_BINARY_DIR}/host_tools/${name}" quillmere_host_tools PARENT_SCOPE)
endfunction()
