# setup.exe: the wizard, its pages, the engine, the assets and the payload.
# Test and measurement variants differ only in what the comment says:
#   setup_refused.exe    a privilege source that refuses (the refusal path)
#   setup_nopayload.exe  no payload entries at all (measures the payload's share)
set(qv_setup_objects $<TARGET_OBJECTS:qv_wizard> $<TARGET_OBJECTS:qv_pages>)
set(qv_setup_libs qv_wizard_core qv_pages_core qv_toolkit)
if(TARGET qv_engine)
  list(PREPEND qv_setup_libs qv_engine)
endif()
if(TARGET qv_assets)
  list(APPEND qv_setup_objects $<TARGET_OBJECTS:qv_assets>)
endif()
list(APPEND qv_setup_libs qv_core shell32 ole32 oleaut32 uuid gdi32 advapi32)

function(qv_setup_program name)
  cmake_parse_arguments(P "NO_PAYLOAD" "" "" ${ARGN})
  set(objects ${qv_setup_objects})
  if(TARGET qv_payload AND NOT P_NO_PAYLOAD)
    list(APPEND objects $<TARGET_OBJECTS:qv_payload>)
  endif()
  add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/wizard/main.cpp ${objects}
    $<TARGET_OBJECTS:qv_lean_runtime>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${qv_setup_libs})
  # Its texts are UTF-8, and it calls the system's wide functions only.
  qv_unicode_text(${name})
  qv_check_imports(${name} WIDE_TEXT)
endfunction()

qv_setup_program(setup)
qv_shipped_program(setup CHECKSUM)
qv_setup_program(setup_refused)
target_compile_definitions(setup_refused PRIVATE QV_TEST_PRIVILEGES)
qv_setup_program(setup_nopayload NO_PAYLOAD)
# Its link map tells where the bytes go (scripts/size-components.sh).
target_link_options(setup_nopayload PRIVATE "-Wl,-Map=$<TARGET_FILE:setup_nopayload>.map")
