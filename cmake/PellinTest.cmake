# pellin_add_test(NAME SOURCES a.cpp ... LIBS x y [LABELS l] [XVFB | GUILESS])
# One QtTest executable registered with CTest. Window tests run on the offscreen platform;
# XVFB tests run on an X server of their own (tests/support/x-server.sh) because they must see
# real pixels; GUILESS tests check code that needs no widget and get no usable GUI platform, so a
# QGuiApplication made there ends them.
function(pellin_add_test name)
  cmake_parse_arguments(T "XVFB;GUILESS" "" "SOURCES;LIBS;LABELS" ${ARGN})
  pellin_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  if(T_XVFB)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/x-server.sh
                                  $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set(platform offscreen)
    if(T_GUILESS)
      set(platform none)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=${platform}")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS "${T_LABELS}")
endfunction()
