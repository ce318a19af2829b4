# The Windows version resource (VERSIONINFO) of a program, filled from the
# version of project() so that the resource, the package names and the
# console's --version never disagree.
#
#   tarnvel_version_resource(<target> DESCRIPTION <text>)
#
# The file name in the resource is the target's output name plus ".exe".

function(tarnvel_version_resource target)
  cmake_parse_arguments(ARG "" "DESCRIPTION" "" ${ARGN})
  # FILEVERSION and PRODUCTVERSION always have four numbers; project() may
  # give fewer.
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(VERSION_${part} "${PROJECT_VERSION_${part}}")
    if(VERSION_${part} STREQUAL "")
      set(VERSION_${part} 0)
    endif()
  endforeach()
  set(VERSION "${PROJECT_VERSION}")
  set(DESCRIPTION "${ARG_DESCRIPTION}")
  set(NAME "${target}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()
