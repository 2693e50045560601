orvik_chrono_test(calendar_test SOURCES calendar_test.cc IN_ZONES)
# Sets the process's zone itself, zone after zone, and counts its own
# localtime_r calls.
orvik_chrono_test(zone_test SOURCES zone_test.cc)
# Its setuid case, run by root; a sanitized program cannot run setuid.
if(NOT ORVIK_CHRONO_SANITIZE)
  add_test(NAME zone_setuid COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/zone_setuid.sh $<TARGET_FILE:zone_test>)
endif()
# The check that every build runs on the library's TLS descriptor calls
# refuses a vector register kept across one.
if(ORVIK_CHRONO_HAS_TLS_DESCRIPTORS AND TARGET Python3::Interpreter)
  add_custom_command(OUTPUT tls_hazard.o
    COMMAND ${CMAKE_CXX_COMPILER} -c ${CMAKE_CURRENT_SOURCE_DIR}/tls_hazard.s -o tls_hazard.o
    DEPENDS tls_hazard.s)
  add_custom_target(tls_hazard ALL DEPENDS tls_hazard.o)
  add_test(NAME tls_vector_check_refuses
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/check_tls_vector_registers.py ${CMAKE_OBJDUMP}
            ${CMAKE_CURRENT_BINARY_DIR}/tls_hazard.o)
  set_tests_properties(tls_vector_check_refuses PROPERTIES PASS_REGULAR_EXPRESSION "tls_hazard at b holds %xmm0 across")
endif()
orvik_chrono_test(named_zone_test SOURCES named_zone_test.cc)
# Wall-clock times beside Python's zoneinfo around every change of a sample of
# zones; the script's --all runs every zone, by hand.
add_executable(civil_time_reading oracles/civil_time_reading.cc)
target_link_libraries(civil_time_reading PRIVATE orvik_chrono orvik_chrono_warnings)
add_test(NAME civil_time_oracle
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/oracles/civil_time_oracle.py
          $<TARGET_FILE:civil_time_reading>)
set_tests_properties(civil_time_oracle PROPERTIES ENVIRONMENT_MODIFICATION "TZDIR=unset:")
