# Beside Python's email.utils on generated texts, through a program that
# prints each reading.
add_executable(mail_date_reading oracles/mail_date_reading.cc)
target_link_libraries(mail_date_reading PRIVATE orvik_chrono orvik_chrono_warnings)
add_test(NAME mail_date_oracle
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/oracles/mail_date_oracle.py
          $<TARGET_FILE:mail_date_reading>)
