# Under the coverage preset (compiled with --coverage) one more test prints
# the line coverage of src/ that the suite reached, and fails below 95 %. The
# preset runs it by itself, after the suite.
if(CMAKE_CXX_FLAGS MATCHES "--coverage")
  find_program(ORVIK_CHRONO_GCOVR gcovr REQUIRED)
  add_test(NAME coverage_report
    COMMAND ${ORVIK_CHRONO_GCOVR} --root ${PROJECT_SOURCE_DIR} --filter ${PROJECT_SOURCE_DIR}/src/
            --print-summary --fail-under-line 95 ${PROJECT_BINARY_DIR})
endif()
