# Installs the library (shared, with its SONAME links, or static), the header, a CMake package
# (find_package(orvik_chrono CONFIG)) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS orvik_chrono EXPORT orvik_chrono_targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/orvik DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(orvik_chrono_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/orvik_chrono)
install(EXPORT orvik_chrono_targets
  NAMESPACE orvik_chrono::
  FILE orvik_chronoTargets.cmake
  DESTINATION ${orvik_chrono_cmake_dir})
configure_package_config_file(cmake/orvik_chronoConfig.cmake.in
  ${PROJECT_BINARY_DIR}/orvik_chronoConfig.cmake
  INSTALL_DESTINATION ${orvik_chrono_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/orvik_chronoConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/orvik_chronoConfig.cmake
  ${PROJECT_BINARY_DIR}/orvik_chronoConfigVersion.cmake
  DESTINATION ${orvik_chrono_cmake_dir})

# The prefix is found relative to the .pc file, so an installed tree can be moved.
file(RELATIVE_PATH orvik_chrono_pc_to_prefix
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" orvik_chrono_pc_to_prefix "${orvik_chrono_pc_to_prefix}")
configure_file(cmake/orvik_chrono.pc.in ${PROJECT_BINARY_DIR}/orvik_chrono.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvik_chrono.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
