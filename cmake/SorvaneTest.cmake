# sorvane_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [MONITORS] [KEYRING] [TIMEOUT <s>]
#                  [DESKTOPS <notray|sni|gnome>...])
# A GUI test runs under its own virtual display (Xvfb, openbox, trayer) and serially. A MONITORS
# test does the same on a real X server (Xorg, dummy driver) with two monitors, the primary on the
# right.
# A KEYRING test runs twice: <name> inside its own session bus with a real keyring daemon, and
# <name>_nokeyring with no session bus; SORVANE_EXPECT_KEYRING tells it which (1 or 0).
# A DESKTOPS test runs once per desktop as <name>_<desktop>, told which by SORVANE_DESKTOP: notray
# (the virtual display without a tray), sni (a StatusNotifierItem tray on its own session bus) or
# gnome (GNOME's compositor headless with Xwayland, its own session bus, no tray).
# Every other test runs with no session bus, so none reaches the user's own keyring.
#
# Labels pick a lane: `ctest -L unit` is the fast one (pure functions and files, no display, no
# process of ours), `gui` drives real windows in-process, `process` starts our programs or the
# portal as processes, `e2e` checks whole journeys from outside, `package` builds and installs the
# Debian package, `stress` repeats a race at full strength. A test not in a list below is `unit`
# without a display and `gui` with one.
set(SORVANE_PROCESS_TESTS portal_test portal_fault_test tst_programreplace tst_upgraderprocesses
  tst_upgradeprocedure tst_clientprocess tst_keyringsettings)
set(SORVANE_E2E_TESTS tst_zunup tst_upgradejourney tst_installedjourneys tst_badinput tst_desktops tst_monitors)
set(SORVANE_PACKAGE_TESTS tst_debpackage)
set(SORVANE_WITH_DISPLAY ${CMAKE_SOURCE_DIR}/tests/harness/with-display.sh)
set(SORVANE_WITH_KEYRING ${CMAKE_SOURCE_DIR}/tests/harness/with-keyring.sh)
set(SORVANE_WITH_MUTTER ${CMAKE_SOURCE_DIR}/tests/harness/with-mutter.sh)
set(SORVANE_WITH_MONITORS ${CMAKE_SOURCE_DIR}/tests/harness/with-xorg-monitors.sh)
set(SORVANE_NO_SESSION_BUS "DBUS_SESSION_BUS_ADDRESS=unix:path=${CMAKE_BINARY_DIR}/no-session-bus")

function(sorvane_add_test name)
  cmake_parse_arguments(T "GUI;MONITORS;KEYRING" "TIMEOUT" "SOURCES;LIBS;DESKTOPS" ${ARGN})
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
  if(T_GUI OR T_MONITORS)
    set(runner ${SORVANE_WITH_DISPLAY})
    if(T_MONITORS)
      set(runner ${SORVANE_WITH_MONITORS})
    endif()
    set(environment "QTWEBENGINE_DISABLE_SANDBOX=1;QT_QPA_PLATFORM=xcb")
    set(labels gui)
  else()
    set(environment "QT_QPA_PLATFORM=offscreen;${SORVANE_NO_SESSION_BUS}")
    set(labels unit)
  endif()
  if(name IN_LIST SORVANE_PROCESS_TESTS)
    set(labels process)
  elseif(name IN_LIST SORVANE_E2E_TESTS)
    set(labels e2e)
  elseif(name IN_LIST SORVANE_PACKAGE_TESTS)
    set(labels package)
  endif()
  set(runs ${name})
  if(T_DESKTOPS)
    set(runs)
    foreach(desktop ${T_DESKTOPS})
      # A desktop with a session bus has an unlocked keyring on it, as users' desktops do.
      set(env "QTWEBENGINE_DISABLE_SANDBOX=1;SORVANE_DESKTOP=${desktop};SORVANE_KEYRING_SESSION=1")
      if(desktop STREQUAL "gnome")
        add_test(NAME ${name}_${desktop}
          COMMAND ${SORVANE_WITH_MUTTER} ${SORVANE_WITH_KEYRING} $<TARGET_FILE:${name}>)
      else()
        set(keyring)
        if(desktop STREQUAL "sni")
          set(keyring ${SORVANE_WITH_KEYRING})
        endif()
        add_test(NAME ${name}_${desktop} COMMAND ${SORVANE_WITH_DISPLAY} ${keyring} $<TARGET_FILE:${name}>)
        string(REPLACE "notray" "none" tray ${desktop})
        list(APPEND env "QT_QPA_PLATFORM=xcb;SORVANE_TRAY=${tray}")
      endif()
      set_tests_properties(${name}_${desktop} PROPERTIES ENVIRONMENT "${env}")
      list(APPEND runs ${name}_${desktop})
    endforeach()
  elseif(T_KEYRING)
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
  if(T_GUI OR T_MONITORS OR T_KEYRING OR T_DESKTOPS)
    # One keyring daemon or display at a time is plenty on a small machine.
    set_tests_properties(${runs} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
