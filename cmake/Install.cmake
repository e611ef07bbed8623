# Installation (cmake --install) and the Debian package (cpack -G DEB, or
# ./dev package): the two programs, the desktop entry with its icon, the MIME
# types of the photometric formats, the AppStream metainfo and the manual
# pages. Resources are embedded into the programs; nothing else is needed.
include(GNUInstallDirs)

set(KANDELO_APP_ID org.kandelo.Kandelo)
set(dist ${CMAKE_SOURCE_DIR}/dist/linux)

install(TARGETS kandelo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kandelo)
  install(TARGETS kandelo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${dist}/${KANDELO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${dist}/${KANDELO_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${dist}/${KANDELO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${dist}/kandelo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${dist}/${KANDELO_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${KANDELO_APP_ID}.xml)
install(FILES ${dist}/kandelo-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Under the package's name, where the manual page points to the codes.
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/validation.md
              ${CMAKE_SOURCE_DIR}/THIRD-PARTY-NOTICES
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kandelo)
# Apache-2.0 (SPDX); Debian's machine-readable copyright file names the
# licence of every part, with the data that come from others.
install(FILES ${dist}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kandelo)

set(CPACK_PACKAGE_NAME kandelo)
set(CPACK_PACKAGE_VENDOR "Kandelo")
set(CPACK_PACKAGE_CONTACT "Kandelo developers <kandelo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Luminaire database for lighting engineers")
set(CPACK_PACKAGE_DESCRIPTION "Keeps a catalogue of photometric files (EULUMDAT, IES LM-63, TM14, LTLI, \
LUM32, LUM), evaluates luminaires, draws diagrams, converts formats and checks files.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY kandelo)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries the programs link give the dependencies; Qt's platform
# plugin is loaded at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET kandelo)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
endif()
set(CPACK_GENERATOR DEB)
include(CPack)
