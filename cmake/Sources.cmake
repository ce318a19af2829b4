# tarnvel_glob_sources(<var> <dir>): the shared .cpp files of a source folder
# plus those of its platform sub-folder (posix/ or win32/). New files are
# picked up without editing a list, so parallel work does not collide here.
function(tarnvel_glob_sources var dir)
  file(GLOB shared CONFIGURE_DEPENDS "${dir}/*.cpp")
  file(GLOB platform CONFIGURE_DEPENDS "${dir}/${TARNVEL_PLATFORM}/*.cpp")
  set(${var} ${shared} ${platform} PARENT_SCOPE)
endfunction()
