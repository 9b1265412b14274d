# setup.exe: the wizard, its pages, the engine, the assets and the payload.
# A test variant, setup_refused.exe, differs only in its privilege source.
set(qv_setup_objects $<TARGET_OBJECTS:qv_wizard> $<TARGET_OBJECTS:qv_pages>)
set(qv_setup_libs qv_wizard_core qv_toolkit)
if(TARGET qv_engine)
  list(PREPEND qv_setup_libs qv_engine)
endif()
if(TARGET qv_assets)
  list(APPEND qv_setup_objects $<TARGET_OBJECTS:qv_assets>)
endif()
if(TARGET qv_payload)
  list(APPEND qv_setup_objects $<TARGET_OBJECTS:qv_payload>)
endif()
list(APPEND qv_setup_libs qv_core shell32 ole32 uuid comctl32 gdi32 advapi32 lz32)

function(qv_setup_program name)
  add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/wizard/main.cpp ${qv_setup_objects})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${qv_setup_libs})
endfunction()

qv_setup_program(setup)
qv_setup_program(setup_refused)
target_compile_definitions(setup_refused PRIVATE QV_TEST_PRIVILEGES)
