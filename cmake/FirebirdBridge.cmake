# Test-only fbclient.dll for the Windows test programs under Wine (x86_64).
#
# No Windows build of the Firebird client exists on these machines. The bridge
# is a winelib DLL (winegcc, Debian package wine64-tools) whose exports
# forward to the Linux libfbclient.so.2, so the Windows build's database code
# runs against the real server. It is made only for the x86_64 test build,
# copied only beside test programs, and never enters a release build, a
# package or an embedded resource.
#
# tarnvel_add_fbclient_bridge(<test target>): puts fbclient.dll beside the
# test program (does nothing outside the x86_64 Windows test build).

set(TARNVEL_FBCLIENT_BRIDGE "")
if(CMAKE_CROSSCOMPILING AND WIN32 AND CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  find_program(TARNVEL_WINEGCC NAMES winegcc winegcc-stable PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(NOT TARNVEL_WINEGCC)
    message(FATAL_ERROR "winegcc not found: the Windows test build needs wine64-tools for its Firebird "
                        "client bridge (scripts/install-deps.sh installs it)")
  endif()
  set(bridge_dir "${CMAKE_SOURCE_DIR}/tests/firebird/wine_bridge")
  set(TARNVEL_FBCLIENT_BRIDGE "${CMAKE_BINARY_DIR}/fbclient-bridge/fbclient.dll.so")
  add_custom_command(
    OUTPUT "${TARNVEL_FBCLIENT_BRIDGE}"
    # The export table goes to winebuild directly (-E), whatever its file name.
    COMMAND "${TARNVEL_WINEGCC}" -m64 -shared -Wall -Werror -o fbclient.dll
            "-Wb,-E,${bridge_dir}/fbclient.exports" "${bridge_dir}/fbclient_bridge.c" -l:libfbclient.so.2
    DEPENDS "${bridge_dir}/fbclient.exports" "${bridge_dir}/fbclient_bridge.c"
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/fbclient-bridge"
    COMMENT "Building the test-only fbclient.dll bridge (winegcc)"
    VERBATIM)
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/fbclient-bridge")
  add_custom_target(tarnvel_fbclient_bridge DEPENDS "${TARNVEL_FBCLIENT_BRIDGE}")
endif()

function(tarnvel_add_fbclient_bridge target)
  if(NOT TARNVEL_FBCLIENT_BRIDGE OR NOT TARGET ${target})
    return()
  endif()
  add_dependencies(${target} tarnvel_fbclient_bridge)
  # The bare name is what the program loads; Wine finds it beside the .exe
  # (WINEDLLPATH alone does not make it find an unknown DLL name).
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${TARNVEL_FBCLIENT_BRIDGE}"
            "$<TARGET_FILE_DIR:${target}>/fbclient.dll"
    VERBATIM)
endfunction()
