set(orvik_chrono_http_zones UTC Europe/Berlin Asia/Kathmandu America/St_Johns Pacific/Apia unset)

orvik_chrono_test(http_date_format_test SOURCES http_date_format_test.cc ZONES ${orvik_chrono_http_zones})
orvik_chrono_test(http_date_parse_test SOURCES http_date_parse_test.cc ZONES ${orvik_chrono_http_zones})
# Its own process, so that its threads make the very first calls.
orvik_chrono_test(http_date_first_calls_test SOURCES http_date_first_calls_test.cc)
# The fast paths against the general ones; the formatter against libc under every zone.
orvik_chrono_test(http_differential_test SOURCES http_differential_test.cc INTERNAL
  ZONES ${orvik_chrono_http_zones})
