orvik_chrono_test(http_date_test INTERNAL SOURCES http_date_test.cc IN_ZONES)
