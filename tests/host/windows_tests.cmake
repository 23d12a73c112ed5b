# The framework's Windows layer, in process under wine.
vesperine_unit_test(NAME framework_win_tests
  SOURCES framework_timer_test.cpp framework_form_test.cpp
  LIBS vesperine_framework)

# End-to-end tests of the real vesperine.scr under wine, one binary per area. They share
# the registry key and the screen, so they never run in parallel with each other.
foreach(area run preview)
  vesperine_unit_test(NAME host_${area}_tests
    SOURCES host_${area}_test.cpp
    LIBS vesperine_harness
    TIMEOUT 600)
  add_dependencies(host_${area}_tests vesperine_scr)
  set_tests_properties(host_${area}_tests PROPERTIES RUN_SERIAL TRUE)
endforeach()
