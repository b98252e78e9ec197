# Installation: the headers under <keymora/...>, the libraries as Keymora::Core and Keymora::Qt
# with a CMake package (config, version file, exported targets) and a pkg-config file for the
# core. Installed programs and plugins find the libraries relative to themselves, so an
# installed tree works wherever it is unpacked.
include(CMakePackageConfigHelpers)

set(KEYMORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Keymora)

# The path from DIR (relative to the prefix) to the library directory, for $ORIGIN run paths.
function(keymora_origin_rpath target dir)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${CMAKE_INSTALL_LIBDIR}")
  else()
    file(RELATIVE_PATH rel "/prefix/${dir}" "/prefix/${CMAKE_INSTALL_LIBDIR}")
    string(REGEX REPLACE "/$" "" rel "${rel}")
    if(rel STREQUAL "")
      set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    else()
      set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${rel}")
    endif()
  endif()
endfunction()

set_target_properties(keymora_core PROPERTIES EXPORT_NAME Core)
set(keymora_installed_targets keymora_core)
set(keymora_header_excludes)
if(KEYMORA_WITH_QT)
  set_target_properties(keymora_qt PROPERTIES EXPORT_NAME Qt)
  # Its own dependency on the core must resolve when a plugin loads it from elsewhere.
  keymora_origin_rpath(keymora_qt ${CMAKE_INSTALL_LIBDIR})
  list(APPEND keymora_installed_targets keymora_qt)
else()
  list(APPEND keymora_header_excludes PATTERN qt EXCLUDE)
endif()
if(KEYMORA_WITH_QUICK)
  set_target_properties(keymora_quick PROPERTIES EXPORT_NAME Quick)
  keymora_origin_rpath(keymora_quick ${CMAKE_INSTALL_LIBDIR})
  list(APPEND keymora_installed_targets keymora_quick)
  # The QML module (plugin, qmldir, type information) where Qt's QML import path looks: Qt's own
  # qml folder below the prefix (lib/x86_64-linux-gnu/qt6/qml on Debian).
  set(KEYMORA_QML_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/qt6/qml" CACHE STRING
    "Where the QML module Keymora is installed, relative to the prefix")
  keymora_origin_rpath(keymora_quickplugin ${KEYMORA_QML_INSTALL_DIR}/Keymora)
  install(TARGETS keymora_quickplugin
    LIBRARY DESTINATION ${KEYMORA_QML_INSTALL_DIR}/Keymora
    RUNTIME DESTINATION ${KEYMORA_QML_INSTALL_DIR}/Keymora)
  install(FILES ${KEYMORA_QML_BUILD_DIR}/Keymora/qmldir
    ${KEYMORA_QML_BUILD_DIR}/Keymora/keymora_quick.qmltypes
    DESTINATION ${KEYMORA_QML_INSTALL_DIR}/Keymora)
else()
  list(APPEND keymora_header_excludes PATTERN quick EXCLUDE)
endif()
if(TARGET keymora-script)
  keymora_origin_rpath(keymora-script ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET keymora-pad)
  keymora_origin_rpath(keymora-pad ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET keymora_designer)
  keymora_origin_rpath(keymora_designer ${KEYMORA_DESIGNER_PLUGIN_DIR})
endif()

install(TARGETS ${keymora_installed_targets} EXPORT KeymoraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/keymora DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h" ${keymora_header_excludes})
install(EXPORT KeymoraTargets NAMESPACE Keymora:: DESTINATION ${KEYMORA_CMAKE_DIR})

if(NOT KEYMORA_WITH_QUICK)
  set(KEYMORA_QML_INSTALL_DIR "")
endif()
configure_package_config_file(cmake/KeymoraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KeymoraConfig.cmake INSTALL_DESTINATION ${KEYMORA_CMAKE_DIR}
  PATH_VARS KEYMORA_QML_INSTALL_DIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KeymoraConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KeymoraConfig.cmake
  ${PROJECT_BINARY_DIR}/KeymoraConfigVersion.cmake DESTINATION ${KEYMORA_CMAKE_DIR})

# pkg-config: the prefix is found from the file's own place, as the run paths are.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(KEYMORA_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(KEYMORA_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  file(RELATIVE_PATH rel "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
  string(REGEX REPLACE "/$" "" rel "${rel}")
  set(KEYMORA_PC_PREFIX "\${pcfiledir}/${rel}")
  set(KEYMORA_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(KEYMORA_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(KEYMORA_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(cmake/keymora-core.pc.in ${PROJECT_BINARY_DIR}/keymora-core.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/keymora-core.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
