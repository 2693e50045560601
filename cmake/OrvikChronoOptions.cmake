# Compiler settings shared by every target of the project: warnings and sanitizers.
add_library(orvik_chrono_warnings INTERFACE)
target_compile_options(orvik_chrono_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  $<$<BOOL:${ORVIK_CHRONO_WERROR}>:-Werror>)

if(ORVIK_CHRONO_SANITIZE)
  add_compile_options(-fsanitize=${ORVIK_CHRONO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ORVIK_CHRONO_SANITIZE})
endif()
