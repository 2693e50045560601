# Layouts by format string; the local writer beside strftime under each zone.
orvik_chrono_test(layout_test SOURCES layout_test.cc IN_ZONES)
