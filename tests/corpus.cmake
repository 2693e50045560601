# Each fuzz target's check on its seed corpus and on inputs walked from it (see
# mutated_replay.cc), built with the test compiler and without libFuzzer; the
# formatters' target under each zone. The zone target sets TZ itself, so its
# corpus is only replayed, in one thread.
set(orvik_chrono_corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus)
foreach(fuzzer scan_fuzzer iso8601_fuzzer http_date_fuzzer duration_fuzzer formatters_fuzzer iso8601_strict_fuzzer
    http_strict_fuzzer mail_date_fuzzer duration_strict_fuzzer zone_fuzzer layout_fuzzer layout_paths_fuzzer shortcuts_fuzzer)
  if(fuzzer STREQUAL zone_fuzzer)
    add_executable(${fuzzer}_replay ${PROJECT_SOURCE_DIR}/fuzz/${fuzzer}.cc ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cc)
    add_test(NAME ${fuzzer}_corpus COMMAND ${fuzzer}_replay ${orvik_chrono_corpus}/${fuzzer})
  else()
    add_executable(${fuzzer}_replay ${PROJECT_SOURCE_DIR}/fuzz/${fuzzer}.cc mutated_replay.cc)
  endif()
  target_link_libraries(${fuzzer}_replay PRIVATE orvik_chrono_objects orvik_chrono_warnings)
  target_include_directories(${fuzzer}_replay PRIVATE ${PROJECT_SOURCE_DIR}/src)
  if(fuzzer STREQUAL formatters_fuzzer)
    orvik_chrono_in_zones(${fuzzer}_corpus ${fuzzer}_replay ${orvik_chrono_corpus}/${fuzzer} 20000)
  elseif(NOT fuzzer STREQUAL zone_fuzzer)
    add_test(NAME ${fuzzer}_corpus COMMAND ${fuzzer}_replay ${orvik_chrono_corpus}/${fuzzer} 20000)
  endif()
endforeach()
