# Installation: the three libraries with their headers, the language modules and the gallery, and a
# CMake package so that callers write find_package(TsUIKit 8.0) and link TsUIKit::TsUIKit.
include(CMakePackageConfigHelpers)

set(TS_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TsUIKit)

install(TARGETS TsPlatform EXPORT TsUIKitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  FILE_SET HEADERS DESTINATION ${TS_INCLUDE_DIR}/platform
  FILE_SET generated DESTINATION ${TS_INCLUDE_DIR}/platform)
install(TARGETS TsHtmlHelp TsAxContainer EXPORT TsUIKitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  FILE_SET HEADERS DESTINATION ${TS_INCLUDE_DIR}/platform
  FILE_SET generated DESTINATION ${TS_INCLUDE_DIR}/platform)
install(TARGETS TsCommon EXPORT TsUIKitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  FILE_SET HEADERS DESTINATION ${TS_INCLUDE_DIR}/tscommon
  FILE_SET generated DESTINATION ${TS_INCLUDE_DIR}/tscommon)
install(TARGETS TsUIKit EXPORT TsUIKitTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  FILE_SET HEADERS DESTINATION ${TS_INCLUDE_DIR}
  FILE_SET generated DESTINATION ${TS_INCLUDE_DIR})
# The back-ends of the platform layer, loaded on first use from beside the libraries; nothing links
# them, so they are no part of the package's targets.
get_property(_ts_backends GLOBAL PROPERTY TS_BACKENDS)
install(TARGETS ${_ts_backends} LIBRARY DESTINATION ${TS_BACKEND_INSTALL_DIR})
install(DIRECTORY ${TS_LANG_DIR}/ DESTINATION ${TS_LANG_INSTALL_DIR} FILES_MATCHING PATTERN "*.res")
install(TARGETS gallery RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(EXPORT TsUIKitTargets NAMESPACE TsUIKit:: DESTINATION ${TS_CMAKE_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TsUIKitConfig.cmake.in
  ${CMAKE_BINARY_DIR}/TsUIKitConfig.cmake INSTALL_DESTINATION ${TS_CMAKE_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TsUIKitConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TsUIKitConfig.cmake ${CMAKE_BINARY_DIR}/TsUIKitConfigVersion.cmake
  DESTINATION ${TS_CMAKE_PACKAGE_DIR})
