# Install rules: the shared library, the public headers under include/ktfolio,
# the CMake package (ktfolio::ktfolio), the pkg-config file, the programs and
# the example data.
include(CMakePackageConfigHelpers)

set(KTFOLIO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ktfolio)

install(TARGETS ktfolio EXPORT ktfolioTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# The public headers alone: include/ktfolio, included as <ktfolio/ktfolio.h>.
# Nothing of src/ is installed; a host never sees the library's insides.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ktfolio DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")

install(EXPORT ktfolioTargets
  NAMESPACE ktfolio::
  DESTINATION ${KTFOLIO_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ktfolioConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ktfolioConfig.cmake
  INSTALL_DESTINATION ${KTFOLIO_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ktfolioConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ktfolioConfig.cmake ${PROJECT_BINARY_DIR}/ktfolioConfigVersion.cmake
  DESTINATION ${KTFOLIO_CMAKE_DIR})

# pkg-config: the prefix is computed from the file's own place, so a tree
# installed with --prefix elsewhere is still right.
file(RELATIVE_PATH KTFOLIO_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/ktfolio.pc.in ${PROJECT_BINARY_DIR}/ktfolio.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/ktfolio.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Programs, and nothing else, in bin/: the command-line host when it is part of
# the build, and the examples.
if(TARGET ktfolio_cli)
  install(TARGETS ktfolio_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(KTFOLIO_EXAMPLES)
  install(TARGETS ${KTFOLIO_EXAMPLE_TARGETS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The example data (the invoice's logo, the templates) in share/ktfolio, where
# the programs look for it (cmake/data.cmake).
install(DIRECTORY ${KTFOLIO_DATA_BUILD_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ktfolio)
