# Installs the toolkit, collision and platform libraries with their public
# headers, a CMake package (find_package(Tarvex)) and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set_target_properties(tvx_platform PROPERTIES EXPORT_NAME platform)
set_target_properties(tvx_collision PROPERTIES EXPORT_NAME collision)
set_target_properties(tarvex_types PROPERTIES EXPORT_NAME types)
set_target_properties(tarvex PROPERTIES EXPORT_NAME toolkit)

install(TARGETS tvx_platform tvx_collision tarvex_types tarvex
  EXPORT TarvexTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY platform/include/ collision/include/ toolkit/include/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")

set(TARVEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tarvex)
install(EXPORT TarvexTargets NAMESPACE Tarvex:: DESTINATION ${TARVEX_CMAKE_DIR})

# The libraries are static: their X, GL and region dependencies travel with
# the package and are found again by its config file.
if(TARGET PkgConfig::PIXMAN)
  set(TARVEX_NEEDS_PIXMAN TRUE)
  set(TARVEX_PC_PIXMAN " pixman-1")
else()
  set(TARVEX_NEEDS_PIXMAN FALSE)
  set(TARVEX_PC_PIXMAN "")
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TarvexConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TarvexConfig.cmake INSTALL_DESTINATION ${TARVEX_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TarvexConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TarvexConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/TarvexConfigVersion.cmake
  DESTINATION ${TARVEX_CMAKE_DIR})

# Relocatable: the prefix is found from where the file lies.
file(RELATIVE_PATH TARVEX_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" TARVEX_PC_TO_PREFIX "${TARVEX_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/tarvex.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tarvex.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tarvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
