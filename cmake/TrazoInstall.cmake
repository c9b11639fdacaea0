# `cmake --install`: the public headers under include/trazo (included as <trazo/...>), the
# libraries, and a package so that find_package(Trazo) gives trazo::core, trazo::paint and,
# when the Qt shell was built, trazo::qt. The headers compile as C++17 and C++20, and the
# targets say so: a host needs C++17 at least.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/TrazoPublicHeaders.cmake)

set(TRAZO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Trazo)

# What a host includes: the control, a recording picture, the painting engine (a raster
# picture, the SVG writer, text placement), PNG files, and the Qt widget with its pictures.
set(trazo_entry_headers
  control/trazo.hpp
  picture/recording_surface.hpp
  raster/raster_surface.hpp
  svg/svg_writer.hpp
  picking/picker.hpp
  device/device_text.hpp
)
set(trazo_core_targets trazo_base trazo_model trazo_picture trazo_render trazo_control trazo_automation trazo_core trazo_device trazo_raster
    trazo_svg trazo_picking trazo_paint)
if(TARGET trazo_qt)
  list(APPEND trazo_entry_headers
    shells/png/png_codec.hpp
    shells/qt/trazo_widget.hpp
    shells/qt/picture_files.hpp
    shells/qt/picture_painting.hpp
    shells/qt/picture_options.hpp
  )
endif()
trazo_public_headers(TRAZO_PUBLIC_HEADERS ${trazo_entry_headers})
foreach(copy IN LISTS TRAZO_PUBLIC_HEADERS)
  file(RELATIVE_PATH path ${TRAZO_PUBLIC_INCLUDE_DIR} ${copy})
  get_filename_component(folder ${path} DIRECTORY)
  install(FILES ${copy} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder})
endforeach()

foreach(target IN LISTS trazo_core_targets ITEMS trazo_qt trazo_png)
  if(TARGET ${target})
    target_compile_features(${target} INTERFACE cxx_std_17)
  endif()
endforeach()

set_target_properties(trazo_base PROPERTIES EXPORT_NAME base)
set_target_properties(trazo_model PROPERTIES EXPORT_NAME model)
set_target_properties(trazo_render PROPERTIES EXPORT_NAME render)
set_target_properties(trazo_picture PROPERTIES EXPORT_NAME picture)
set_target_properties(trazo_control PROPERTIES EXPORT_NAME control)
set_target_properties(trazo_automation PROPERTIES EXPORT_NAME automation)
set_target_properties(trazo_device PROPERTIES EXPORT_NAME device)
set_target_properties(trazo_raster PROPERTIES EXPORT_NAME raster)
set_target_properties(trazo_svg PROPERTIES EXPORT_NAME svg)
set_target_properties(trazo_picking PROPERTIES EXPORT_NAME picking)
install(TARGETS ${trazo_core_targets}
        EXPORT TrazoTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT TrazoTargets NAMESPACE trazo:: DESTINATION ${TRAZO_CMAKE_DIR})

if(TARGET trazo_qt)
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

# The trazo host installs itself, from tools/trazo, once it is defined.
