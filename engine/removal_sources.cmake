# The portable units of the removal side, for the programs and tests that
# compile them in rather than link qv_core: the uninstaller, its Windows test
# and the fuzz targets.
set(qv_removal_sources
  ${CMAKE_CURRENT_LIST_DIR}/finish_request.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/removal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/removal_scope.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_log_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_plan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../toolkit/utf.cpp)
