# Each fuzz target's check replayed on its seed corpus, built with the test
# compiler and without libFuzzer; the formatters' target under the zones its
# fuzzing runs use.
foreach(fuzzer scan_fuzzer iso8601_fuzzer http_date_fuzzer duration_fuzzer formatters_fuzzer iso8601_strict_fuzzer
    http_strict_fuzzer mail_date_fuzzer duration_strict_fuzzer zone_fuzzer)
  add_executable(${fuzzer}_replay ${PROJECT_SOURCE_DIR}/fuzz/${fuzzer}.cc ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cc)
  target_link_libraries(${fuzzer}_replay PRIVATE orvik_chrono_objects orvik_chrono_warnings)
  target_include_directories(${fuzzer}_replay PRIVATE ${PROJECT_SOURCE_DIR}/src)
  add_test(NAME ${fuzzer}_corpus COMMAND ${fuzzer}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${fuzzer})
endforeach()
foreach(zone Europe/Berlin Asia/Kathmandu America/St_Johns Australia/Lord_Howe Africa/Monrovia right/Europe/Berlin)
  add_test(NAME "formatters_fuzzer_corpus[TZ=${zone}]"
    COMMAND formatters_fuzzer_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/formatters_fuzzer)
  set_tests_properties("formatters_fuzzer_corpus[TZ=${zone}]" PROPERTIES ENVIRONMENT "TZ=${zone}")
endforeach()
