# The strict and lenient readers of ISO 8601 timestamps, HTTP dates, mail dates
# and durations, which read UTC instants whatever the process's zone: each run
# sets another.
orvik_chrono_test(readers_test INTERNAL SOURCES readers_test.cc IN_ZONES)
# Counts its own allocations, malloc's included, which a sanitizer owns: only
# builds without one. The local writer under a zone and without.
if(NOT ORVIK_CHRONO_SANITIZE)
  orvik_chrono_test(no_allocation_test SOURCES no_allocation_test.cc IN_ZONES)
endif()
