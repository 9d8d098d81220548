# Installation layout and the Debian package (cpack -G DEB, or the `package` target).
#
#   bin/kalvaro, bin/kalvaro-cli
#   share/kalvaro/Template               copied into a new per-user program folder
#   share/kalvaro/demo/Все объекты       the demo objects offered on first start
#   share/applications, share/metainfo, share/icons/hicolor/<size>/apps, share/man/man1, share/doc/kalvaro
#
# The programs find share/kalvaro relative to their own folder, so the tree works under any
# prefix and unpacked anywhere.

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(KALVARO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KALVARO_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# every icon size the hicolor theme lists for applications, from the one picture
set(KALVARO_ICON_SIZES 16 22 24 32 48 64 128 256)
add_executable(kalvaro_iconsizes ${KALVARO_PACKAGING_DIR}/iconsizes.cpp)
target_link_libraries(kalvaro_iconsizes PRIVATE Qt6::Gui)
set(_icon_outputs)
foreach(size IN LISTS KALVARO_ICON_SIZES)
  list(APPEND _icon_outputs ${KALVARO_PACKAGING_OUT}/icons/${size}x${size}/apps/kalvaro.png)
endforeach()
add_custom_command(OUTPUT ${_icon_outputs}
  COMMAND kalvaro_iconsizes ${CMAKE_SOURCE_DIR}/resources/kalvaro.png ${KALVARO_PACKAGING_OUT}/icons
          ${KALVARO_ICON_SIZES}
  DEPENDS kalvaro_iconsizes ${CMAKE_SOURCE_DIR}/resources/kalvaro.png
  COMMENT "Icon sizes" VERBATIM)

# manual pages and the changelog, compressed as Debian wants them (no time stamp in gzip)
string(TIMESTAMP KALVARO_MAN_DATE "%Y-%m-%d" UTC)
set(_gz_outputs)
foreach(page kalvaro kalvaro-cli)
  configure_file(${KALVARO_PACKAGING_DIR}/${page}.1.in ${KALVARO_PACKAGING_OUT}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${KALVARO_PACKAGING_OUT}/${page}.1.gz
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${KALVARO_PACKAGING_OUT}/${page}.1 ${KALVARO_PACKAGING_OUT}/${page}.1.gz
    DEPENDS ${KALVARO_PACKAGING_OUT}/${page}.1 VERBATIM)
  list(APPEND _gz_outputs ${KALVARO_PACKAGING_OUT}/${page}.1.gz)
endforeach()
add_custom_command(OUTPUT ${KALVARO_PACKAGING_OUT}/changelog.gz
  COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${KALVARO_PACKAGING_DIR}/changelog ${KALVARO_PACKAGING_OUT}/changelog.gz
  DEPENDS ${KALVARO_PACKAGING_DIR}/changelog VERBATIM)
list(APPEND _gz_outputs ${KALVARO_PACKAGING_OUT}/changelog.gz)
add_custom_target(kalvaro_package_files ALL DEPENDS ${_icon_outputs} ${_gz_outputs})

# the same data in the build folder, so that the programs started from there find their
# template and demo objects as the installed ones do
add_custom_target(kalvaro_build_data ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/template ${CMAKE_BINARY_DIR}/share/kalvaro/Template
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${CMAKE_SOURCE_DIR}/demo/Все объекты"
          "${CMAKE_BINARY_DIR}/share/kalvaro/demo/Все объекты"
  VERBATIM)

install(TARGETS kalvaro kalvaro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/template/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvaro/Template)
# only the objects: the demo's own template is the one above
install(DIRECTORY "${CMAKE_SOURCE_DIR}/demo/Все объекты" DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvaro/demo)
install(FILES ${KALVARO_PACKAGING_DIR}/kalvaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KALVARO_PACKAGING_DIR}/kalvaro.metainfo.xml RENAME org.example.kalvaro.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS KALVARO_ICON_SIZES)
  install(FILES ${KALVARO_PACKAGING_OUT}/icons/${size}x${size}/apps/kalvaro.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${KALVARO_PACKAGING_OUT}/kalvaro.1.gz ${KALVARO_PACKAGING_OUT}/kalvaro-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KALVARO_PACKAGING_DIR}/copyright ${KALVARO_PACKAGING_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalvaro)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kalvaro developers")
set(CPACK_PACKAGE_CONTACT "Kalvaro developers <kalvaro@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workbench for regime tests of steam and hot-water boilers")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${KALVARO_PACKAGING_DIR}/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# the libraries the programs link, as dpkg-shlibdeps finds them in the built binaries; the
# X11 window system, GIF and JPEG plugins come with libqt6gui6
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Да / Нет / Отмена on the standard buttons; opening documents with their application
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
include(CPack)
