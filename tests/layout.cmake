# Layouts by format string; the local writer beside strftime under each zone.
orvik_chrono_test(layout_test SOURCES layout_test.cc IN_ZONES)
# Every directive written beside GNU date and Python's strftime, and the
# layouts of logs and exports read beside Python's strptime.
add_executable(layout_driver oracles/layout_driver.cc)
target_link_libraries(layout_driver PRIVATE orvik_chrono orvik_chrono_warnings)
add_test(NAME layout_oracle
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/oracles/layout_oracle.py $<TARGET_FILE:layout_driver>)
set_tests_properties(layout_oracle PROPERTIES ENVIRONMENT_MODIFICATION "TZDIR=unset:")
