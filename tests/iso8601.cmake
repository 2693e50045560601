orvik_chrono_test(iso8601_parse_test INTERNAL SOURCES iso8601_parse_test.cc)
# The strict readers of ISO 8601 timestamps, HTTP dates and durations read UTC
# instants only: one process suffices.
orvik_chrono_test(strict_readers_test SOURCES strict_readers_test.cc)
# Counts its own allocations, malloc's included, which a sanitizer owns: only
# builds without one. The local writer under a zone and without.
if(NOT ORVIK_CHRONO_SANITIZE)
  orvik_chrono_test(no_allocation_test SOURCES no_allocation_test.cc IN_ZONES)
endif()
