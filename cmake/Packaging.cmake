# Packages: a Debian package (Linux) and a zip (each Windows build).
#
# The programs write their libraries and their Logs folder beside their own
# executable, so they are installed in a folder of their own, /opt/tarnvel
# (the zip's top folder on Windows), never straight into /usr/bin: the
# package ships the files they would otherwise write there and an empty Logs
# folder, and puts links to the programs on the PATH.

set(pkg_dir "opt/tarnvel")
if(WIN32)
  set(pkg_dir ".")
endif()

set(pkg_programs ${TARNVEL_CONSOLE_PROGRAM})
if(TARGET Updater_TarnVel)
  list(APPEND pkg_programs Updater_TarnVel)
endif()
install(TARGETS ${pkg_programs} RUNTIME DESTINATION "${pkg_dir}")

# The libraries the programs write beside themselves when missing, under the
# names they are written by.
get_property(pkg_entries GLOBAL PROPERTY TARNVEL_RESOURCE_ENTRIES)
foreach(entry IN LISTS pkg_entries)
  if(entry MATCHES "^DLL/FBCLIENT=(.*)$")
    if(WIN32)
      install(FILES "${CMAKE_MATCH_1}" DESTINATION "${pkg_dir}" RENAME fbclient.dll)
    else()
      install(FILES "${CMAKE_MATCH_1}" DESTINATION "${pkg_dir}" RENAME libfbclient.so.2)
    endif()
  elseif(entry MATCHES "^DLL/IBESCRIPT=(.*)$")
    install(FILES "${CMAKE_MATCH_1}" DESTINATION "${pkg_dir}" RENAME IBEScript.dll)
  endif()
endforeach()
install(DIRECTORY DESTINATION "${pkg_dir}/Logs")

if(NOT WIN32)
  foreach(program IN LISTS pkg_programs)
    install(CODE "
      file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin\")
      file(CREATE_LINK \"/${pkg_dir}/${program}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin/${program}\" SYMBOLIC)")
  endforeach()
endif()

set(CPACK_PACKAGE_NAME "tarnvel-updater")
set(CPACK_PACKAGE_VENDOR "TarnVel")
set(CPACK_PACKAGE_CONTACT "TarnVel updater maintainers <updater@tarnvel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Updater of the TarnVel client/server product (Firebird database)")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_SYSTEM_NAME win32-i686)
  else()
    set(CPACK_SYSTEM_NAME win64-x86_64)
  endif()
  set(CPACK_PACKAGE_FILE_NAME "Updater_TarnVel-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  # Authenticode signatures for the zip's programs, made while cpack packs
  # them (cmake/SignPackage.cmake); the same names in the environment of
  # cpack take precedence, so a key need never enter the CMake cache.
  set(TARNVEL_SIGN_CERT "" CACHE FILEPATH
      "Code-signing certificate (PEM/DER, chain after it) or PKCS#12 file; empty: the zip's programs are not signed")
  set(TARNVEL_SIGN_KEY "" CACHE FILEPATH "Private key of TARNVEL_SIGN_CERT (not with a PKCS#12 file)")
  set(TARNVEL_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the passphrase of the signing key")
  set(TARNVEL_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signatures")
  foreach(setting CERT KEY PASSWORD_FILE TIMESTAMP_URL)
    set(CPACK_TARNVEL_SIGN_${setting} "${TARNVEL_SIGN_${setting}}")
  endforeach()
  set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/SignPackage.cmake")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX "/")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION admin)
  # The client library is loaded at run time, so shlibdeps cannot see it.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfbclient2")
endif()
include(CPack)
