# The scanning engine that the readers run on.
orvik_chrono_test(scan_test INTERNAL SOURCES scan_test.cc)
