add_test(NAME exported_symbols
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/packaging/check_exports.sh $<TARGET_FILE:orvik_chrono>
          ${CMAKE_CURRENT_SOURCE_DIR}/packaging/exported_symbols.txt)
# A consumer built without sanitizers cannot link a sanitized library.
if(NOT ORVIK_CHRONO_SANITIZE)
  add_test(NAME install_and_consume
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/packaging/install_check.sh ${PROJECT_BINARY_DIR})
endif()
