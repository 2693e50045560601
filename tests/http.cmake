set(orvik_chrono_http_zones UTC Europe/Berlin Asia/Kathmandu America/St_Johns Pacific/Apia unset)

orvik_chrono_test(http_date_test INTERNAL SOURCES http_date_test.cc ZONES ${orvik_chrono_http_zones})
