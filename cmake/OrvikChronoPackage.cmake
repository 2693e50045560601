# A Debian package of everything that is installed: the shared library and its
# links, the header, the CMake package, the pkg-config file, the tool and its
# manual page. `cpack -G DEB` in a build directory, or `cmake --workflow
# --preset package`, writes orvik-chrono_<version>_amd64.deb there.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvik-chrono)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "orvik-chrono developers <orvik-chrono@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps (dpkg-dev) derives the libc and libstdc++ versions needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)
