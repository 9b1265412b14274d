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
# QV_BUILD_SCOPE says how much of the Windows side is built:
#   all       everything; the Windows tests of QV_WINDOWS_ARCH run here
#   wizard    the shipped programs of QV_WINDOWS_ARCH (scripts/run.sh)
#   walk      those and the scenario programs of the screenshot walk
#             (scripts/run.sh without a display)
#   programs  the host tools and the shipped programs (setup.exe,
#             QuorVel.exe, UnInstall.exe) of both architectures and
#             nothing else: the second build of the reproducibility check
#             and the signed build of the signing check
set(QV_BUILD_SCOPE "all" CACHE STRING "how much is built: all, wizard, walk or programs")
set_property(CACHE QV_BUILD_SCOPE PROPERTY STRINGS all wizard walk programs)
# The Windows build this machine runs (scripts/windows-arch.sh decides):
# its Windows tests all run. Of the other build, the 64-bit one runs the
# tables every shipped build must pass; the 32-bit one is only read.
set(QV_WINDOWS_ARCH "x86" CACHE STRING "the Windows build whose tests run here: x86 or x64")
set_property(CACHE QV_WINDOWS_ARCH PROPERTY STRINGS x86 x64)
if(NOT QV_WINDOWS_ARCH MATCHES "^(x86|x64)$")
  message(FATAL_ERROR "QV_WINDOWS_ARCH is x86 or x64, not '${QV_WINDOWS_ARCH}'")
endif()
# The folder of each architecture's build. The 32-bit one is the product's.
set(QV_TARGET_DIR_x86 ${CMAKE_BINARY_DIR}/target)
set(QV_TARGET_DIR_x64 ${CMAKE_BINARY_DIR}/target-x64)

if(QV_SANITIZE)
  add_compile_options(-fsanitize=${QV_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QV_SANITIZE})
  set(QV_HOST_ONLY ON)
endif()

add_subdirectory(engine)
add_subdirectory(toolkit)
add_subdirectory(pages)
add_subdirectory(wizard)
add_subdirectory(tools)
if(QV_BUILD_SCOPE STREQUAL "all")
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

set(QV_INSTALLER_URL "https://downloads.invalid/QuorVel/2.0/setup.exe" CACHE STRING
    "where the release's 32-bit setup.exe is downloaded from, for the package manager's manifest")
set(QV_INSTALLER_URL_X64 "https://downloads.invalid/QuorVel/2.0/x64/setup.exe" CACHE STRING
    "where the release's 64-bit setup.exe is downloaded from, for the package manager's manifest")

get_property(qv_host_tools GLOBAL PROPERTY QV_HOST_TOOLS)
set(qv_toolchain_x86 mingw-i686)
set(qv_toolchain_x64 mingw-x86_64)
set(qv_test_lists "")

# One architecture's Windows build: qv_windows(<x86|x64> <what to build>
# <which Windows tests to register>), see cmake/target.cmake.
function(qv_windows arch what tests)
  set(dir ${QV_TARGET_DIR_${arch}})
  set(prefix "")
  if(NOT arch STREQUAL QV_WINDOWS_ARCH)
    set(prefix "${arch}.")
  endif()
  set(build ${CMAKE_COMMAND} --build <BINARY_DIR>)
  if(NOT what STREQUAL "all")
    list(APPEND build --target ${what})
  endif()
  ExternalProject_Add(windows-${arch}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${dir}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${qv_toolchain_${arch}}.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DQV_HOST_BIN=${CMAKE_BINARY_DIR}/tools
      -DQV_PAYLOAD_DIR=${QV_PAYLOAD_DIR}
      -DQV_SCRIPTS=${CMAKE_SOURCE_DIR}/scripts
      -DQV_SIGN_PKCS12=${QV_SIGN_PKCS12}
      -DQV_SIGN_PASSWORD_VARIABLE=${QV_SIGN_PASSWORD_VARIABLE}
      -DQV_SIGN_TIMESTAMP_URL=${QV_SIGN_TIMESTAMP_URL}
      -DQV_SOURCE_DATE_EPOCH=${QV_SOURCE_DATE_EPOCH}
      -DQV_WINE_TESTS=${tests}
      -DQV_TEST_PREFIX=${prefix}
    BUILD_COMMAND ${build}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON
    DEPENDS ${qv_host_tools})
  set(qv_test_lists ${qv_test_lists} ${dir}/windows-tests.cmake PARENT_SCOPE)
endfunction()

if(QV_BUILD_SCOPE STREQUAL "programs")
  qv_windows(x86 programs none)
  qv_windows(x64 programs none)
elseif(QV_BUILD_SCOPE STREQUAL "wizard")
  qv_windows(${QV_WINDOWS_ARCH} programs none)
elseif(QV_BUILD_SCOPE STREQUAL "walk")
  qv_windows(${QV_WINDOWS_ARCH} walk none)
elseif(QV_WINDOWS_ARCH STREQUAL "x86")
  qv_windows(x86 all all)
  qv_windows(x64 tables tables)
else()
  qv_windows(x64 all all)
  qv_windows(x86 programs none)
endif()

# The package manager's manifest of both installers, written once both are
# built (and signed, when they are).
if(QV_BUILD_SCOPE STREQUAL "all" OR QV_BUILD_SCOPE STREQUAL "programs")
  add_custom_target(winget-manifest ALL
    COMMAND ${CMAKE_COMMAND} -DSETUP_X86=${QV_TARGET_DIR_x86}/setup.exe -DSETUP_X64=${QV_TARGET_DIR_x64}/setup.exe
            -DTEMPLATES=${CMAKE_SOURCE_DIR}/assets/winget -DOUT=${CMAKE_BINARY_DIR}/winget
            -DURL_X86=${QV_INSTALLER_URL} -DURL_X64=${QV_INSTALLER_URL_X64}
            -P ${CMAKE_SOURCE_DIR}/cmake/winget-manifest.cmake
    DEPENDS windows-x86 windows-x64
    COMMENT "Writing the package manifest of both installers"
    VERBATIM)
endif()

# The Windows builds write the lists of their tests (run under Wine).
set(qv_include "")
foreach(list IN LISTS qv_test_lists)
  string(APPEND qv_include "if(EXISTS \"${list}\")\n  include(\"${list}\")\nendif()\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/include-windows-tests.cmake "${qv_include}")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
  ${CMAKE_BINARY_DIR}/include-windows-tests.cmake)
