orvik_chrono_test(calendar_convert_test INTERNAL
  SOURCES calendar_convert_test.cc
  ZONES UTC "<+0530>-5:30")
orvik_chrono_test(calendar_time_test
  SOURCES calendar_time_test.cc
  ZONES ${ORVIK_CHRONO_TEST_ZONES})
orvik_chrono_test(calendar_zone_sweep_test SOURCES calendar_zone_sweep_test.cc)
orvik_chrono_test(calendar_thread_test
  SOURCES calendar_thread_test.cc
  ZONES UTC Europe/Berlin Australia/Lord_Howe)
orvik_chrono_test(civil_test INTERNAL SOURCES civil_test.cc ZONES UTC)
