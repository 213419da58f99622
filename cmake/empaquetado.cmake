# The Debian package of the game: the program's folder under /usr/lib, the
# command in /usr/bin, the desktop entry, the icons and the software-centre
# record. Built with `cpack -G DEB` in the build folder; checked by
# scripts/paquete.sh.
set(CPACK_PACKAGE_NAME brumaria)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_VENDOR "El equipo de Brumaria")
set(CPACK_PACKAGE_CONTACT "El equipo de Brumaria")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batalla naval contra el ordenador o por la red")
set(CPACK_PACKAGE_DESCRIPTION
  "Coloca tu flota, dispara por turnos y responde tú mismo a los disparos del\n contrincante: el ordenador u otra persona en la red local o por Internet,\n con chat y alertas. El programa no admite respuestas falsas.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link come from dpkg-shlibdeps; Qt's screen
# plugins, its svg picture reader (the ship pieces) and its Spanish texts
# are loaded at run time, so they are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_GENERATOR DEB)
include(CPack)

if(BRUMARIA_BUILD_TESTS)
  add_test(NAME Paquete.SeConstruyeSeValidaYArranca
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/paquete.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(Paquete.SeConstruyeSeValidaYArranca PROPERTIES
    LABELS "internet;paquete" TIMEOUT 300)
endif()
