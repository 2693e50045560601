if(TARGET orvik-chrono)
  foreach(zone UTC Asia/Kolkata)
    add_test(NAME "orvik_chrono_tool[TZ=${zone}]"
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tool/cli_test.sh $<TARGET_FILE:orvik-chrono>)
    set_tests_properties("orvik_chrono_tool[TZ=${zone}]" PROPERTIES ENVIRONMENT "TZ=${zone}")
  endforeach()
  # Each of these sets the zones it needs.
  foreach(test oracles_test.py instants_test.sh records_test.py wall_clock_test.py layouts_test.py)
    string(REGEX REPLACE "_test\\..*" "" name ${test})
    add_test(NAME orvik_chrono_tool_${name} COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tool/${test} $<TARGET_FILE:orvik-chrono>)
  endforeach()
  # GNU date reads a text without a zone in the local one: a zone far from UTC catches it.
  set_tests_properties(orvik_chrono_tool_oracles PROPERTIES ENVIRONMENT "TZ=Pacific/Kiritimati")
  # Each takes a few seconds, a few times that under the sanitizers: a tool
  # that stops reading its input fails the test instead of holding the run.
  set_tests_properties("orvik_chrono_tool[TZ=UTC]" "orvik_chrono_tool[TZ=Asia/Kolkata]" orvik_chrono_tool_oracles
    orvik_chrono_tool_instants orvik_chrono_tool_records orvik_chrono_tool_wall_clock orvik_chrono_tool_layouts
    PROPERTIES TIMEOUT 120)
endif()

# The tool's split of records, on its own sources.
if(TARGET orvik-chrono)
  orvik_chrono_test(tool_csv_test SOURCES tool/csv_test.cc ${PROJECT_SOURCE_DIR}/tools/csv.cc
    ${PROJECT_SOURCE_DIR}/tools/input_buffer.cc)
  target_include_directories(tool_csv_test PRIVATE ${PROJECT_SOURCE_DIR}/tools)
endif()
