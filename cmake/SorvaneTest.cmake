# sorvane_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [TIMEOUT <s>])
# A GUI test runs under its own virtual display (Xvfb, openbox, trayer) and serially.
set(SORVANE_WITH_DISPLAY ${CMAKE_SOURCE_DIR}/tests/harness/with-display.sh)

function(sorvane_add_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    SORVANE_PORTAL_BIN="$<TARGET_FILE:portal>"
    SORVANE_CLIENT_BIN="$<TARGET_FILE:clikw730>"
    SORVANE_UPGRADER_BIN="$<TARGET_FILE:zunup>"
    SORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(T_GUI)
    add_test(NAME ${name} COMMAND ${SORVANE_WITH_DISPLAY} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE LABELS gui
      ENVIRONMENT "QTWEBENGINE_DISABLE_SANDBOX=1;QT_QPA_PLATFORM=xcb")
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS unit ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
