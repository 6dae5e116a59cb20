# Install rules, the CMake package (lorvex::lorvex), pkg-config file and the
# Debian package.
#   cmake --install build/release --prefix /opt/lorvex
#   cpack --config build/release/CPackConfig.cmake   (lorvex_<version>_amd64.deb)
include(CMakePackageConfigHelpers)

set(LORVEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/lorvex)

install(TARGETS lorvex EXPORT lorvexTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES include/lorvex/lorvex.h include/lorvex/lorvex.hpp include/lorvex/safearray.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lorvex)

if(TARGET lorvex_cli)
  # The command finds the library beside it wherever the prefix is moved.
  file(RELATIVE_PATH lorvex_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(lorvex_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${lorvex_bin_to_lib}")
  install(TARGETS lorvex_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT lorvexTargets NAMESPACE lorvex:: DESTINATION ${LORVEX_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/lorvexConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/lorvexConfig.cmake
                              INSTALL_DESTINATION ${LORVEX_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/lorvexConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lorvexConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/lorvexConfigVersion.cmake
        DESTINATION ${LORVEX_CMAKE_DIR})

# pkg-config: paths relative to the file, so a moved prefix still works.
file(RELATIVE_PATH lorvex_pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" lorvex_pc_to_prefix "${lorvex_pc_to_prefix}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/lorvex.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lorvex.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lorvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The Debian package: the library, headers, CMake and pkg-config files and
# the command, with its run-time dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lorvex)
set(CPACK_PACKAGE_VENDOR "Lorvex")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interest-rate and equity derivative pricing library and command")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lorvex developers <lorvex@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
