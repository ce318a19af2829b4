# Signs every Windows program of a package with Authenticode, run by CPack
# once the package's files are staged and before they are packed
# (CPACK_PRE_BUILD_SCRIPTS). The tool is osslsigncode; the settings come from
# the environment of cpack, else from the CMake options of the same names:
#
#   TARNVEL_SIGN_CERT           the certificate (PEM or DER, the chain after
#                               it), or a PKCS#12 file (.pfx, .p12) holding
#                               certificate, chain and key
#   TARNVEL_SIGN_KEY            its private key (not with a PKCS#12 file)
#   TARNVEL_SIGN_PASSWORD_FILE  a file holding the key's passphrase
#   TARNVEL_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server
#
# Without a certificate nothing is signed. A setting given without one, a
# file that is missing, or a program that cannot be signed stops the
# package: a package meant to be signed is never made unsigned.
#
# A program is any staged file that begins with "MZ", whatever its name (the
# script library's stand-in is text under a .dll name). A program that
# already carries a signature (a vendor's library) keeps it.

function(tarnvel_sign_setting name out)
  if(NOT "$ENV{${name}}" STREQUAL "")
    set(${out} "$ENV{${name}}" PARENT_SCOPE)
  else()
    set(${out} "${CPACK_${name}}" PARENT_SCOPE)
  endif()
endfunction()

tarnvel_sign_setting(TARNVEL_SIGN_CERT cert)
tarnvel_sign_setting(TARNVEL_SIGN_KEY key)
tarnvel_sign_setting(TARNVEL_SIGN_PASSWORD_FILE password_file)
tarnvel_sign_setting(TARNVEL_SIGN_TIMESTAMP_URL timestamp_url)

# Each setting is one argument of osslsigncode; a ";" would split it.
foreach(setting IN ITEMS "${cert}" "${key}" "${password_file}" "${timestamp_url}")
  if(setting MATCHES ";")
    message(FATAL_ERROR "Signing: '${setting}' holds a ';', which cannot be passed on")
  endif()
endforeach()

if(cert STREQUAL "")
  if(NOT key STREQUAL "" OR NOT password_file STREQUAL "" OR NOT timestamp_url STREQUAL "")
    message(FATAL_ERROR "Signing: TARNVEL_SIGN_KEY, TARNVEL_SIGN_PASSWORD_FILE or TARNVEL_SIGN_TIMESTAMP_URL "
                        "is set but TARNVEL_SIGN_CERT is not")
  endif()
  message(STATUS "Signing: no TARNVEL_SIGN_CERT, the programs are not signed")
  return()
endif()

set(credentials "")
if(cert MATCHES "\\.([pP][fF][xX]|[pP]12)$")
  if(NOT key STREQUAL "")
    message(FATAL_ERROR "Signing: ${cert} holds the key; TARNVEL_SIGN_KEY must not be set with it")
  endif()
  list(APPEND credentials -pkcs12 "${cert}")
else()
  if(key STREQUAL "")
    message(FATAL_ERROR "Signing: TARNVEL_SIGN_CERT is set, TARNVEL_SIGN_KEY is not")
  endif()
  list(APPEND credentials -certs "${cert}" -key "${key}")
endif()
foreach(file IN ITEMS "${cert}" "${key}" "${password_file}")
  if(NOT file STREQUAL "" AND NOT EXISTS "${file}")
    message(FATAL_ERROR "Signing: ${file} does not exist")
  endif()
endforeach()
# The passphrase goes to the tool in its file: a command line is visible to
# every user of the machine.
if(NOT password_file STREQUAL "")
  list(APPEND credentials -readpass "${password_file}")
endif()
if(NOT timestamp_url STREQUAL "")
  list(APPEND credentials -ts "${timestamp_url}")
endif()

find_program(TARNVEL_OSSLSIGNCODE osslsigncode)
if(NOT TARNVEL_OSSLSIGNCODE)
  message(FATAL_ERROR "Signing: osslsigncode is not installed (Debian package osslsigncode)")
endif()

if(NOT IS_DIRECTORY "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
  message(FATAL_ERROR "Signing: no staged files in '${CPACK_TEMPORARY_INSTALL_DIRECTORY}'")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(signed 0)
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 2 HEX)
  if(NOT magic STREQUAL "4d5a")
    continue()
  endif()
  file(RELATIVE_PATH shown "${CPACK_TEMPORARY_INSTALL_DIRECTORY}" "${file}")
  execute_process(COMMAND "${TARNVEL_OSSLSIGNCODE}" extract-signature -in "${file}" -out "${file}.signature"
                  RESULT_VARIABLE has_signature OUTPUT_QUIET ERROR_QUIET)
  file(REMOVE "${file}.signature")
  if(has_signature EQUAL 0)
    message(STATUS "Signing: ${shown} is signed already, kept as it is")
    continue()
  endif()
  get_filename_component(program_name "${file}" NAME_WE)
  file(REMOVE "${file}.signed")
  execute_process(COMMAND "${TARNVEL_OSSLSIGNCODE}" sign ${credentials} -h sha256 -n "${program_name}"
                          -in "${file}" -out "${file}.signed"
                  RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(failed)
    file(REMOVE "${file}.signed")
    message(FATAL_ERROR "Signing: ${shown} could not be signed:\n${output}")
  endif()
  file(RENAME "${file}.signed" "${file}")
  message(STATUS "Signing: ${shown} signed")
  math(EXPR signed "${signed} + 1")
endforeach()
if(signed EQUAL 0)
  message(FATAL_ERROR "Signing: the package holds no program to sign")
endif()
