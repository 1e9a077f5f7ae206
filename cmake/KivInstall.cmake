# Installs the engine, its umbrella header, a pkg-config file and a CMake package.
include(CMakePackageConfigHelpers)

install(TARGETS kivctrl EXPORT kivctrlTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/kivctrl DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT kivctrlTargets NAMESPACE kivctrl::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kivctrl)

configure_package_config_file(cmake/kivctrlConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/kivctrlConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kivctrl)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/kivctrlConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kivctrlConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/kivctrlConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kivctrl)

configure_file(cmake/kivctrl.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kivctrl.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kivctrl.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
