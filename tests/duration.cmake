# Duration parsing does not depend on the time zone: one process suffices.
orvik_chrono_test(duration_test INTERNAL SOURCES duration_test.cc)
