# Duration parsing does not depend on the time zone: one process suffices.
orvik_chrono_test(duration_test SOURCES duration_test.cc)
# The fast path against the general one.
orvik_chrono_test(duration_differential_test SOURCES duration_differential_test.cc INTERNAL)
