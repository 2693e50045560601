# Formatting against strftime and snprintf, and round trips, under zones
# whose offsets have seconds (Monrovia, Amsterdam and Kolkata before 1937),
# whole, half and quarter hours on both sides, half-hour summer time, summer
# time below standard time (Dublin), an offset of under a minute, and local
# zones at offset zero.
orvik_chrono_test(iso8601_format_test INTERNAL SOURCES iso8601_format_test.cc
  ZONES UTC "<+00>0" "<-00>0:0:30" "<+0530>-5:30" EST5 "<-0330>3:30" Africa/Monrovia Europe/Amsterdam
        Asia/Kolkata Asia/Kathmandu Australia/Lord_Howe Europe/Dublin America/St_Johns Pacific/Kiritimati unset)
orvik_chrono_test(iso8601_parse_test SOURCES iso8601_parse_test.cc)

# The fast reading of canonical texts against the sscanf one. Reading depends
# on no zone, not even on one that counts leap seconds (right/UTC).
orvik_chrono_test(iso8601_parse_differential_test INTERNAL
  SOURCES iso8601_parse_differential_test.cc
  ZONES UTC right/UTC)
