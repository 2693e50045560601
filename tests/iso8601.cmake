orvik_chrono_test(iso8601_parse_test SOURCES iso8601_parse_test.cc)

# The fast reading of canonical texts against the sscanf one. Reading depends
# on no zone, not even on one that counts leap seconds (right/UTC).
orvik_chrono_test(iso8601_parse_differential_test INTERNAL
  SOURCES iso8601_parse_differential_test.cc
  ZONES UTC right/UTC)
