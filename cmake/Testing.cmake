# GoogleTest for both targets. Natively the system's libgtest; for the
# Windows cross build Debian's googletest sources are compiled with the cross
# compiler. Windows test programs run under Wine through wine-run.sh, set as
# the cross-compiling emulator; it uses a prefix of its own under the build tree.
include(GoogleTest)
include(FirebirdBridge)

if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  set(TARNVEL_GTEST_LIBS GTest::gtest GTest::gmock)
  set(TARNVEL_GTEST_MAIN GTest::gtest_main)

  set(TARNVEL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix of the test runs")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run.sh"
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run.sh" CACHE FILEPATH "" FORCE)
else()
  find_package(GTest REQUIRED)
  set(TARNVEL_GTEST_LIBS GTest::gtest GTest::gmock)
  set(TARNVEL_GTEST_MAIN GTest::gtest_main)
endif()

# tarnvel_add_test(<name> SOURCES ... LIBS ... [RESOURCE_LOCK <name>] [LABELS ...]
#                  [PROPERTIES <ctest property> <value> ...])
# One test program per folder of tests/; it carries the standard resources.
function(tarnvel_add_test name)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} "${CMAKE_SOURCE_DIR}/tests/support/environment/english_catalogue.cpp"
                         "${CMAKE_SOURCE_DIR}/tests/support/environment/own_state_folder.cpp")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tarnvel_test_support ${TARNVEL_GTEST_LIBS} ${TARNVEL_GTEST_MAIN})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  tarnvel_embed_standard_resources(${name})
  set(props "")
  if(ARG_RESOURCE_LOCK)
    list(APPEND props RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  list(APPEND props ${ARG_PROPERTIES})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    PROPERTIES ${props})
endfunction()

# tarnvel_add_test_folder(<name> LIBS ... [RESOURCE_LOCK <name>] [PROPERTIES ...]):
# one test program from every *_test.cpp of the current folder and of its
# platform sub-folder (posix/ or win32/).
function(tarnvel_add_test_folder name)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "LIBS;LABELS;PROPERTIES" ${ARGN})
  file(GLOB shared CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  file(GLOB platform CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${TARNVEL_PLATFORM}/*.cpp")
  if(NOT shared AND NOT platform)
    return()
  endif()
  set(extra "")
  if(ARG_RESOURCE_LOCK)
    set(extra RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  tarnvel_add_test(${name} SOURCES ${shared} ${platform} LIBS ${ARG_LIBS} ${extra} LABELS ${ARG_LABELS}
                   PROPERTIES ${ARG_PROPERTIES})
endfunction()

# tarnvel_server_reachable_dir(<var> <folder> <tag>): Folder, or, when the
# Firebird server's user cannot reach it (a build tree under /root, which is
# 0700), a folder of the server's own data folder named after Tag and Folder.
# Databases the server must open live there.
function(tarnvel_server_reachable_dir var folder tag)
  set(result "${folder}")
  if(NOT CMAKE_HOST_WIN32)
    execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(parent "${folder}" DIRECTORY)
    if(uid STREQUAL "0")
      execute_process(COMMAND runuser -u firebird -- test -x "${parent}"
                      RESULT_VARIABLE reachable OUTPUT_QUIET ERROR_QUIET)
      if(NOT reachable EQUAL 0)
        string(MD5 hash "${folder}")
        set(result "/var/lib/firebird/3.0/data/tarnvel-${tag}-${hash}")
        message(STATUS "${tag}: ${result} (build tree not reachable by the Firebird server)")
      endif()
    endif()
  endif()
  set(${var} "${result}" PARENT_SCOPE)
endfunction()
