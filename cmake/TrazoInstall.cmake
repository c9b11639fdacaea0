# `cmake --install`: headers under include/trazo, the libraries, and a package so that
# find_package(Trazo) gives trazo::core (and trazo::qt when the Qt shell was built).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TRAZO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Trazo)

foreach(layer base control model render device raster)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${layer}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/trazo/${layer}
          FILES_MATCHING PATTERN "*.hpp")
endforeach()

set_target_properties(trazo_base PROPERTIES EXPORT_NAME base)
set_target_properties(trazo_model PROPERTIES EXPORT_NAME model)
set_target_properties(trazo_render PROPERTIES EXPORT_NAME render)
set_target_properties(trazo_control PROPERTIES EXPORT_NAME control)
set_target_properties(trazo_device PROPERTIES EXPORT_NAME device)
set_target_properties(trazo_raster PROPERTIES EXPORT_NAME raster)
set_target_properties(trazo_svg PROPERTIES EXPORT_NAME svg)
install(TARGETS trazo_base trazo_model trazo_render trazo_control trazo_core trazo_device trazo_raster trazo_svg trazo_paint
        EXPORT TrazoTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT TrazoTargets NAMESPACE trazo:: DESTINATION ${TRAZO_CMAKE_DIR})

if(TARGET trazo_qt)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/shells/qt/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/trazo/shells/qt
          FILES_MATCHING PATTERN "*.hpp")
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/shells/png/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/trazo/shells/png
          FILES_MATCHING PATTERN "*.hpp")
  set_target_properties(trazo_png PROPERTIES EXPORT_NAME png)
  install(TARGETS trazo_qt trazo_png EXPORT TrazoQtTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(EXPORT TrazoQtTargets NAMESPACE trazo:: DESTINATION ${TRAZO_CMAKE_DIR})
endif()

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TrazoConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TrazoConfig.cmake INSTALL_DESTINATION ${TRAZO_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TrazoConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TrazoConfig.cmake ${PROJECT_BINARY_DIR}/TrazoConfigVersion.cmake
        DESTINATION ${TRAZO_CMAKE_DIR})

if(TARGET trazo)
  install(TARGETS trazo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
