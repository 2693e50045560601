# Compiler settings shared by every target of the project: warnings and sanitizers.
include(CheckLinkerFlag)

add_library(orvik_chrono_warnings INTERFACE)
target_compile_options(orvik_chrono_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  $<$<BOOL:${ORVIK_CHRONO_WERROR}>:-Werror>)

if(ORVIK_CHRONO_SANITIZE)
  add_compile_options(-fsanitize=${ORVIK_CHRONO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ORVIK_CHRONO_SANITIZE})
endif()

# orvik_chrono_shared_link_options(<target>)
#
# Links the shared library with the export map, refuses undefined symbols and
# writes RUNPATH rather than RPATH. These are GNU ld options (also understood by
# gold, lld and mold); each is passed only if a trial link with it succeeds, so
# a linker without them still builds the library, with a wider symbol table.
function(orvik_chrono_shared_link_options target)
  set(exports ${PROJECT_SOURCE_DIR}/cmake/orvik_chrono.map)
  check_linker_flag(CXX "LINKER:--version-script=${exports}" ORVIK_CHRONO_LINKER_HAS_VERSION_SCRIPT)
  check_linker_flag(CXX "LINKER:--no-undefined" ORVIK_CHRONO_LINKER_HAS_NO_UNDEFINED)
  check_linker_flag(CXX "LINKER:--enable-new-dtags" ORVIK_CHRONO_LINKER_HAS_NEW_DTAGS)
  if(ORVIK_CHRONO_LINKER_HAS_VERSION_SCRIPT)
    target_link_options(${target} PRIVATE "LINKER:--version-script=${exports}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
  endif()
  if(ORVIK_CHRONO_LINKER_HAS_NO_UNDEFINED)
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endif()
  if(ORVIK_CHRONO_LINKER_HAS_NEW_DTAGS)
    target_link_options(${target} PRIVATE "LINKER:--enable-new-dtags")
  endif()
endfunction()
