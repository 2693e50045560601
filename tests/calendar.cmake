# Each process runs under one zone setting: offsets with seconds (Monrovia and
# Amsterdam before 1937), of under a minute, of whole, half and quarter hours
# either side, summer time (below standard time in Dublin, of half an hour on
# Lord Howe), POSIX strings, offset zero, and whatever /etc/localtime says.
orvik_chrono_test(calendar_test INTERNAL SOURCES calendar_test.cc
  ZONES UTC "<+00>0" "<-00>0:0:30" "<+0530>-5:30" "<-0330>3:30" "CET-1CEST,M3.5.0,M10.5.0/3" Africa/Monrovia
        Europe/Amsterdam Asia/Kathmandu Australia/Lord_Howe Europe/Dublin America/St_Johns Pacific/Kiritimati unset)
# Sets the process's zone itself, zone after zone, and counts its own
# localtime_r calls.
orvik_chrono_test(zone_test SOURCES zone_test.cc)
# Its setuid case, run by root; a sanitized program cannot run setuid.
if(NOT ORVIK_CHRONO_SANITIZE)
  add_test(NAME zone_setuid COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/zone_setuid.sh $<TARGET_FILE:zone_test>)
  set_tests_properties(zone_setuid PROPERTIES SKIP_RETURN_CODE 77)
endif()
