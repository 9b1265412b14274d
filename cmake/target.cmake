# Windows side: the wizard, the carried programs, the Windows tests and the
# end-to-end driver. Configured by the host build through ExternalProject.
set(QV_HOST_BIN "" CACHE PATH "folder of the host tools (szdd, packer)")
set(QV_PAYLOAD_DIR "" CACHE PATH "folder of the sixteen payload files; empty: made by the build")
set(QV_SCRIPTS "${CMAKE_SOURCE_DIR}/scripts" CACHE PATH "folder of the project's scripts")
set(QV_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file to sign the shipped programs with; empty: unsigned")
set(QV_SIGN_PASSWORD_VARIABLE "QV_SIGN_PASSWORD" CACHE STRING "environment variable holding its password")
set(QV_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server; empty: none")
set(QV_SOURCE_DATE_EPOCH "" CACHE STRING "seconds since 1970 for the programs' time stamps; empty: zero")
# Which of this build's Windows tests the host's CTest runs: all of them,
# only the tables that every shipped build must pass (lifecycle and
# unattended), or none (a build that this machine cannot run).
set(QV_WINE_TESTS "all" CACHE STRING "Windows tests registered: all, tables or none")
set_property(CACHE QV_WINE_TESTS PROPERTY STRINGS all tables none)
# Put before the names of this build's tests, so that two builds' tests
# can share one CTest.
set(QV_TEST_PREFIX "" CACHE STRING "prefix of this build's test names")

# The architecture as the programs' manifests name it.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QV_MANIFEST_ARCH amd64)
else()
  set(QV_MANIFEST_ARCH x86)
endif()
message(STATUS "Windows programs for ${QV_MANIFEST_ARCH}")

# A program's manifest, written for this architecture into the current
# build folder, where the resource script finds it first:
#   qv_manifest(<target> <name>) reads <name>.in from the current source folder.
function(qv_manifest target name)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${name}.in ${CMAKE_CURRENT_BINARY_DIR}/${name} @ONLY)
  target_include_directories(${target} BEFORE PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

enable_language(RC)
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-Wall;-Wextra>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-finput-charset=UTF-8;-fexec-charset=CP1251>")
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 NOMINMAX STRICT)
# Size over speed: nothing the Windows programs do at run time is heavy on
# the processor, and the one loop that is (the background's scaling) asks
# for speed itself.
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
# In C++20 the library's string functions are all inline, and IPA-SRA gives
# each source file its own reshaped copy of those it calls, which the
# linker cannot fold into one: without it the shared copy is kept once.
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-fno-ipa-sra>")
# Everything is linked statically and stripped; unused code is dropped.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections;-fdata-sections>")
add_link_options(-static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections)

# Reproducible programs: the same sources give the same bytes wherever and
# whenever they are built. No folder of this machine reaches the code
# (__FILE__ and the like), and the headers' time stamp is SOURCE_DATE_EPOCH
# (the linker reads it) or, without one, zero.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.;-ffile-prefix-map=${CMAKE_BINARY_DIR}=.>")
if(QV_SOURCE_DATE_EPOCH)
  set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${QV_SOURCE_DATE_EPOCH})
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_C_LINKER_LAUNCHER})
else()
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# The shipped programs: signed when a certificate is given (SHA-256
# Authenticode, by scripts/sign.sh), as the last change to each file; setup.exe
# also gets its SHA-256 written beside it (setup.exe.sha256) and printed.
if(QV_SIGN_PKCS12)
  message(STATUS "Code signing: the shipped programs are signed with ${QV_SIGN_PKCS12}")
else()
  message(STATUS "Code signing: not configured (QV_SIGN_PKCS12): the programs are built unsigned")
endif()
function(qv_shipped_program target)
  cmake_parse_arguments(P "CHECKSUM" "" "" ${ARGN})
  if(QV_SIGN_PKCS12)
    # Another certificate in the same file signs anew.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QV_SIGN_PKCS12})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${QV_SCRIPTS}/sign.sh ${QV_SIGN_PKCS12} ${QV_SIGN_PASSWORD_VARIABLE}
              "${QV_SIGN_TIMESTAMP_URL}" $<TARGET_FILE:${target}>
      COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
      VERBATIM)
  endif()
  if(P_CHECKSUM)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -P ${CMAKE_SOURCE_DIR}/cmake/write_sha256.cmake
      VERBATIM)
  endif()
endfunction()

include(cmake/imports.cmake)

# A program or test whose texts are Unicode: its literals are UTF-8, the
# system's wide calls are the default ones, and toolkit/program_text.h and
# engine/text.h convert and compare as UTF-8 (QV_UTF8_TEXT).
function(qv_unicode_text target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-fexec-charset=UTF-8>)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE QV_UTF8_TEXT)
endfunction()

# GoogleTest from Debian's source package, built for the target.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Windows tests run under Wine through scripts/wine-run.sh; each one is
# listed in windows-tests.cmake, which the host build's CTest includes.
# (FRESH_PREFIX is accepted for clarity; every test runs in a fresh prefix.)
set_property(GLOBAL PROPERTY QV_WINE_TESTS "")
#   qv_add_wine_test(<name> <target> [EVERY_BUILD] [TIMEOUT s] [ARGS ...] [LABELS ...] [ENV ...])
# EVERY_BUILD: a table that each shipped build must pass, registered also
# where this build's other tests are not (QV_WINE_TESTS=tables).
function(qv_add_wine_test name target)
  cmake_parse_arguments(T "FRESH_PREFIX;EVERY_BUILD" "TIMEOUT" "ARGS;LABELS;ENV" ${ARGN})
  if(QV_WINE_TESTS STREQUAL "none" OR (QV_WINE_TESTS STREQUAL "tables" AND NOT T_EVERY_BUILD))
    return()
  endif()
  if(T_EVERY_BUILD)
    set_property(GLOBAL APPEND PROPERTY QV_EVERY_BUILD_TARGETS ${target})
  endif()
  set(name "${QV_TEST_PREFIX}${name}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # Every test program gets a fresh prefix, and so a wineserver and a
  # desktop of its own: parallel tests never see each other's windows.
  set(opts "--fresh")
  set_property(GLOBAL APPEND_STRING PROPERTY QV_WINE_TESTS
    "add_test(${name} \"${QV_SCRIPTS}/wine-run.sh\" ${opts} --timeout ${T_TIMEOUT} \"$<TARGET_FILE:${target}>\" ${T_ARGS})\n\
set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS \"windows;${T_LABELS}\" ENVIRONMENT \"QV_WINE_DIR=${CMAKE_BINARY_DIR}/wine;${T_ENV}\")\n")
endfunction()

add_subdirectory(toolkit)
add_subdirectory(engine)
add_subdirectory(wizard)
add_subdirectory(pages)
add_subdirectory(payload)
add_subdirectory(assets)
add_subdirectory(tests/win)
add_subdirectory(tests/e2e)

include(wizard/setup.cmake)

# What a build that does not run every test needs:
#   programs  the three shipped programs (and so the payload)
#   walk      those and the scenario programs of the screenshot walk
#   tables    those and the tables every shipped build must pass
add_custom_target(programs DEPENDS setup qv_app qv_uninstaller)
add_custom_target(walk DEPENDS programs e2e_wizard e2e_install e2e_pages_destination e2e_pages_group e2e_lifecycle)
get_property(qv_every_build_targets GLOBAL PROPERTY QV_EVERY_BUILD_TARGETS)
add_custom_target(tables DEPENDS programs ${qv_every_build_targets})

get_property(qv_wine_tests GLOBAL PROPERTY QV_WINE_TESTS)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-tests.cmake CONTENT "${qv_wine_tests}")
