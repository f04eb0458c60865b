# stormtap_add_test(name source...) builds one Qt Test executable that links the
# core library and registers it with CTest. Widgets run on the offscreen platform,
# so GUI tests need no display.
function(stormtap_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE stormtap_core Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FATAL_WARNINGS=0"
    TIMEOUT 120)
endfunction()
