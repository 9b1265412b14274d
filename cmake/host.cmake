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
if(QV_SANITIZE)
  add_compile_options(-fsanitize=${QV_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QV_SANITIZE})
  set(QV_HOST_ONLY ON)
endif()

add_subdirectory(engine)
add_subdirectory(toolkit)
add_subdirectory(wizard)
add_subdirectory(tools)
add_subdirectory(tests/unit)

if(QV_HOST_ONLY)
  return()
endif()

set(QV_PAYLOAD_DIR "" CACHE PATH
    "folder holding the sixteen payload files to carry; empty: the build makes them")

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
