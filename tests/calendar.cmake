orvik_chrono_test(calendar_test INTERNAL SOURCES calendar_test.cc ZONES ${ORVIK_CHRONO_TEST_ZONES})
# Sets the process's zone itself, zone after zone.
orvik_chrono_test(calendar_zone_sweep_test SOURCES calendar_zone_sweep_test.cc)
