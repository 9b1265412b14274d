# Host side: portable core, host tools, native tests, and the Windows build.
include(ExternalProject)
enable_testing()
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

add_compile_options(-Wall -Wextra)

# QV_SANITIZE=address,undefined or thread builds the native part only,
# instrumented, for the sanitizer runs of the test command.
set(QV_SANITIZE "" CACHE STRING "sanitizers for the native build")
option(QV_HOST_ONLY "build only the native part" OFF)
# QV_PROGRAMS_ONLY builds the host tools and the shipped programs (setup.exe,
# QuorVel.exe, UnInstall.exe) and nothing else: the second build of the
# reproducibility check and the signed build of the signing check.
option(QV_PROGRAMS_ONLY "build only the host tools and the shipped Windows programs" OFF)
if(QV_SANITIZE)
  add_compile_options(-fsanitize=${QV_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QV_SANITIZE})
  set(QV_HOST_ONLY ON)
endif()

add_subdirectory(engine)
add_subdirectory(toolkit)
add_subdirectory(wizard)
add_subdirectory(tools)
if(NOT QV_PROGRAMS_ONLY)
  add_subdirectory(tests/unit)
endif()

if(QV_HOST_ONLY)
  return()
endif()

set(QV_PAYLOAD_DIR "" CACHE PATH
    "folder holding the sixteen payload files to carry; empty: the build makes them")

# Code signing of the three programs (see cmake/target.cmake). The password
# of the PKCS#12 file is read from the environment variable named here when
# the build signs; it is never stored.
set(QV_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file (certificate and key) to sign the Windows programs with; empty: unsigned")
set(QV_SIGN_PASSWORD_VARIABLE "QV_SIGN_PASSWORD" CACHE STRING
    "environment variable that holds the password of QV_SIGN_PKCS12")
set(QV_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server for the signatures; empty: none")
# The date the programs' headers carry: SOURCE_DATE_EPOCH as it was when
# the build was configured, or none (zero).
set(QV_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE STRING
    "seconds since 1970 for the programs' time stamps (from SOURCE_DATE_EPOCH); empty: zero")

set(qv_windows_build ${CMAKE_COMMAND} --build <BINARY_DIR>)
if(QV_PROGRAMS_ONLY)
  list(APPEND qv_windows_build --target setup qv_app qv_uninstaller)
endif()

get_property(qv_host_tools GLOBAL PROPERTY QV_HOST_TOOLS)
set(QV_TARGET_DIR ${CMAKE_BINARY_DIR}/target)
ExternalProject_Add(windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${QV_TARGET_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DQV_HOST_BIN=${CMAKE_BINARY_DIR}/tools
    -DQV_PAYLOAD_DIR=${QV_PAYLOAD_DIR}
    -DQV_SCRIPTS=${CMAKE_SOURCE_DIR}/scripts
    -DQV_SIGN_PKCS12=${QV_SIGN_PKCS12}
    -DQV_SIGN_PASSWORD_VARIABLE=${QV_SIGN_PASSWORD_VARIABLE}
    -DQV_SIGN_TIMESTAMP_URL=${QV_SIGN_TIMESTAMP_URL}
    -DQV_SOURCE_DATE_EPOCH=${QV_SOURCE_DATE_EPOCH}
  BUILD_COMMAND ${qv_windows_build}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON
  DEPENDS ${qv_host_tools})

# The Windows build writes the list of its tests (run under Wine) here.
file(WRITE ${CMAKE_BINARY_DIR}/include-windows-tests.cmake
  "if(EXISTS \"${QV_TARGET_DIR}/windows-tests.cmake\")\n"
  "  include(\"${QV_TARGET_DIR}/windows-tests.cmake\")\n"
  "endif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
  ${CMAKE_BINARY_DIR}/include-windows-tests.cmake)
