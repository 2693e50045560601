# Only a shared library has a dynamic symbol table.
if(BUILD_SHARED_LIBS)
  add_test(NAME exported_symbols
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/packaging/check_exports.sh $<TARGET_FILE:orvik_chrono>
            ${CMAKE_CURRENT_SOURCE_DIR}/packaging/exported_symbols.txt)
endif()
# Installs this build and a build of the other kind (shared or static) and
# links a consumer to each. A consumer built without sanitizers cannot link a
# sanitized library.
if(NOT ORVIK_CHRONO_SANITIZE)
  add_test(NAME install_and_consume
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/packaging/install_check.sh ${PROJECT_BINARY_DIR} ${CMAKE_CXX_COMPILER})
endif()
# The public header as C++17 and as C++20, every warning an error, with the
# compiler of this build, linked as any user links the library.
foreach(standard 17 20)
  set(name every_declaration_cxx${standard})
  add_executable(${name} packaging/every_declaration.cc)
  set_target_properties(${name} PROPERTIES CXX_STANDARD ${standard})
  target_compile_options(${name} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  target_link_libraries(${name} PRIVATE orvik_chrono)
  add_test(NAME ${name} COMMAND ${name})
endforeach()
