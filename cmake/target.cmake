# Windows side: the wizard, the carried programs, the Windows tests and the
# end-to-end driver. Configured by the host build through ExternalProject.
set(QV_HOST_BIN "" CACHE PATH "folder of the host tools (szdd, packer)")
set(QV_PAYLOAD_DIR "" CACHE PATH "folder of the sixteen payload files; empty: made by the build")
set(QV_SCRIPTS "${CMAKE_SOURCE_DIR}/scripts" CACHE PATH "folder of the project's scripts")
set(QV_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file to sign the shipped programs with; empty: unsigned")
set(QV_SIGN_PASSWORD_VARIABLE "QV_SIGN_PASSWORD" CACHE STRING "environment variable holding its password")
set(QV_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server; empty: none")
set(QV_SOURCE_DATE_EPOCH "" CACHE STRING "seconds since 1970 for the programs' time stamps; empty: zero")

enable_language(RC)
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-Wall;-Wextra>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-finput-charset=UTF-8;-fexec-charset=CP1251>")
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 NOMINMAX STRICT)
# Size over speed: nothing the Windows programs do at run time is heavy on
# the processor, and the one loop that is (the background's scaling) asks
# for speed itself.
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
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

# GoogleTest from Debian's source package, built for the target.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Windows tests run under Wine through scripts/wine-run.sh; each one is
# listed in windows-tests.cmake, which the host build's CTest includes.
# (FRESH_PREFIX is accepted for clarity; every test runs in a fresh prefix.)
set_property(GLOBAL PROPERTY QV_WINE_TESTS "")
function(qv_add_wine_test name target)
  cmake_parse_arguments(T "FRESH_PREFIX" "TIMEOUT" "ARGS;LABELS;ENV" ${ARGN})
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

get_property(qv_wine_tests GLOBAL PROPERTY QV_WINE_TESTS)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-tests.cmake CONTENT "${qv_wine_tests}")
