# libjpeg-turbo, built from Debian's source package as a static library for
# the target. The source and the built library are cached in the build
# folder, so only the first build fetches and compiles them.
include(ExternalProject)
set(QV_JPEG_ROOT ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo)
set(QV_JPEG_SRC ${QV_JPEG_ROOT}/src)
set(QV_JPEG_PREFIX ${QV_JPEG_ROOT}/install)

if(NOT EXISTS ${QV_JPEG_SRC}/CMakeLists.txt)
  file(MAKE_DIRECTORY ${QV_JPEG_ROOT}/download)
  message(STATUS "Fetching libjpeg-turbo's Debian source package")
  execute_process(COMMAND apt-get source -qq libjpeg-turbo
    WORKING_DIRECTORY ${QV_JPEG_ROOT}/download
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  file(GLOB unpacked LIST_DIRECTORIES true ${QV_JPEG_ROOT}/download/libjpeg-turbo-*)
  list(FILTER unpacked EXCLUDE REGEX "\\.(tar|dsc|gz|xz)")
  if(NOT rc EQUAL 0 OR NOT unpacked)
    message(FATAL_ERROR "apt-get source libjpeg-turbo failed (is deb-src enabled? run scripts/bootstrap.sh): ${err}")
  endif()
  list(GET unpacked 0 unpacked)
  file(RENAME ${unpacked} ${QV_JPEG_SRC})
endif()

set(QV_JPEG_LIB ${QV_JPEG_PREFIX}/lib/libjpeg.a)
ExternalProject_Add(libjpeg_turbo
  SOURCE_DIR ${QV_JPEG_SRC}
  BINARY_DIR ${QV_JPEG_ROOT}/build
  INSTALL_DIR ${QV_JPEG_PREFIX}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${QV_JPEG_PREFIX}
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=ON
    -DCMAKE_POLICY_DEFAULT_CMP0063=NEW
  BUILD_BYPRODUCTS ${QV_JPEG_LIB}
  UPDATE_COMMAND "" PATCH_COMMAND ""
  LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON)

file(MAKE_DIRECTORY ${QV_JPEG_PREFIX}/include)
add_library(jpeg STATIC IMPORTED GLOBAL)
set_target_properties(jpeg PROPERTIES
  IMPORTED_LOCATION ${QV_JPEG_LIB}
  INTERFACE_INCLUDE_DIRECTORIES ${QV_JPEG_PREFIX}/include)
add_dependencies(jpeg libjpeg_turbo)
