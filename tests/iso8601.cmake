# Formatting and round trips depend on the process's zone: one process per zone,
# with offsets of whole, half and quarter hours on both sides, summer time and
# local zones at offset zero. Parsing reads only the text.
set(orvik_chrono_iso8601_zones
  UTC "<+0530>-5:30" EST5 Asia/Kathmandu "<-0330>3:30" Europe/London "<+00>0"
  Asia/Kolkata America/St_Johns Australia/Lord_Howe)

orvik_chrono_test(iso8601_format_test SOURCES iso8601_format_test.cc iso8601_round_trip_test.cc
  ZONES ${orvik_chrono_iso8601_zones})
orvik_chrono_test(iso8601_parse_test INTERNAL SOURCES iso8601_parse_test.cc)

# The digit writers against strftime and snprintf, under zones whose offsets
# have seconds (Monrovia, Amsterdam and Kolkata before 1937), half-hour summer
# time, summer time below standard time (Dublin), leap seconds (right/UTC), an
# offset of under a minute, and offset zero.
orvik_chrono_test(iso8601_format_differential_test INTERNAL
  SOURCES iso8601_format_differential_test.cc
  ZONES UTC "<+00>0" "<-00>0:0:30" Africa/Monrovia Europe/Amsterdam Asia/Kolkata Australia/Lord_Howe
        Europe/Dublin America/St_Johns Pacific/Kiritimati right/UTC "<+0530>-5:30" unset)
