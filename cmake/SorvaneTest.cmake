# sorvane_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [KEYRING] [TIMEOUT <s>])
# A GUI test runs under its own virtual display (Xvfb, openbox, trayer) and serially.
# A KEYRING test runs twice: <name> inside its own session bus with a real keyring daemon, and
# <name>_nokeyring with no session bus; SORVANE_EXPECT_KEYRING tells it which (1 or 0).
# Every other test runs with no session bus, so none reaches the user's own keyring.
set(SORVANE_WITH_DISPLAY ${CMAKE_SOURCE_DIR}/tests/harness/with-display.sh)
set(SORVANE_WITH_KEYRING ${CMAKE_SOURCE_DIR}/tests/harness/with-keyring.sh)
set(SORVANE_NO_SESSION_BUS "DBUS_SESSION_BUS_ADDRESS=unix:path=${CMAKE_BINARY_DIR}/no-session-bus")

function(sorvane_add_test name)
  cmake_parse_arguments(T "GUI;KEYRING" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
  set(runner)
  if(T_GUI)
    set(runner ${SORVANE_WITH_DISPLAY})
    set(environment "QTWEBENGINE_DISABLE_SANDBOX=1;QT_QPA_PLATFORM=xcb")
    set(labels gui)
  else()
    set(environment "QT_QPA_PLATFORM=offscreen;${SORVANE_NO_SESSION_BUS}")
    set(labels unit)
  endif()
  set(runs ${name})
  if(T_KEYRING)
    add_test(NAME ${name} COMMAND ${runner} ${SORVANE_WITH_KEYRING} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment};SORVANE_EXPECT_KEYRING=1")
    add_test(NAME ${name}_nokeyring COMMAND ${runner} $<TARGET_FILE:${name}>)
    set_tests_properties(${name}_nokeyring PROPERTIES
      ENVIRONMENT "${environment};${SORVANE_NO_SESSION_BUS};SORVANE_EXPECT_KEYRING=0")
    list(APPEND runs ${name}_nokeyring)
  else()
    add_test(NAME ${name} COMMAND ${runner} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
  endif()
  set_tests_properties(${runs} PROPERTIES LABELS ${labels} TIMEOUT ${T_TIMEOUT})
  if(T_GUI OR T_KEYRING)
    # One keyring daemon or display at a time is plenty on a small machine.
    set_tests_properties(${runs} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
