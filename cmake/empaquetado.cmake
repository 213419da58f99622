# The Debian package of the game: the program's folder under
# /usr/lib/games, the command in /usr/games, the manual page, the copyright
# and changelog, the desktop entry, the icons and the software-centre
# record. Built with `cpack -G DEB` in the build folder; checked, lintian
# included, by scripts/paquete.sh.
set(CPACK_PACKAGE_NAME brumaria)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_VENDOR "Equipo de Brumaria")
# Debian wants a name and an address; the address is a placeholder domain.
set(CPACK_PACKAGE_CONTACT "Equipo de Brumaria <brumaria@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batalla naval contra el ordenador o por la red")
set(CPACK_PACKAGE_DESCRIPTION
  "Coloca tu flota, dispara por turnos y responde tú mismo a los disparos del\ncontrincante: el ordenador u otra persona en la red local o por Internet,\ncon chat y alertas. El programa no admite respuestas falsas.")
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

# The changelog and the software-centre record name this version, and the
# manual page carries the record's date for it.
set(_paquete ${CMAKE_SOURCE_DIR}/assets/paquete)
file(STRINGS ${_paquete}/changelog _cabecera LIMIT_COUNT 1)
if(NOT _cabecera MATCHES "^brumaria \\(${CPACK_PACKAGE_VERSION}\\) ")
  message(FATAL_ERROR "assets/paquete/changelog no empieza por la versión ${CPACK_PACKAGE_VERSION}")
endif()
file(READ ${CMAKE_SOURCE_DIR}/assets/org.brumaria.Brumaria.metainfo.xml _ficha)
if(NOT _ficha MATCHES "<release version=\"${CPACK_PACKAGE_VERSION}\" date=\"([0-9-]+)\"")
  message(FATAL_ERROR "la ficha AppStream no tiene la versión ${CPACK_PACKAGE_VERSION}")
endif()
set(_fecha ${CMAKE_MATCH_1})

# Section 6, the games'. Made from the game's --help, and compressed as
# Debian keeps its manual pages and changelogs (no name or time inside).
find_program(BRUMARIA_GZIP gzip REQUIRED)
set(_doc ${CMAKE_BINARY_DIR}/paquete)
add_custom_command(OUTPUT ${_doc}/brumaria.6.gz
  COMMAND ${CMAKE_COMMAND} -DPROGRAMA=$<TARGET_FILE:brumaria> -DSALIDA=${_doc}/brumaria.6
          -DVERSION=${CPACK_PACKAGE_VERSION} -DFECHA=${_fecha}
          -P ${CMAKE_SOURCE_DIR}/cmake/pagina_manual.cmake
  COMMAND ${BRUMARIA_GZIP} -9nf ${_doc}/brumaria.6
  DEPENDS brumaria ${CMAKE_SOURCE_DIR}/cmake/pagina_manual.cmake VERBATIM)
# Debian's name for a native package's changelog.
add_custom_command(OUTPUT ${_doc}/changelog.gz
  COMMAND ${BRUMARIA_GZIP} -9nc ${_paquete}/changelog > ${_doc}/changelog.gz
  DEPENDS ${_paquete}/changelog)
add_custom_target(brumaria_documentos ALL DEPENDS ${_doc}/brumaria.6.gz ${_doc}/changelog.gz)
install(FILES ${_doc}/brumaria.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${_doc}/changelog.gz ${_paquete}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/brumaria)

if(BRUMARIA_BUILD_TESTS)
  add_test(NAME Paquete.SeConstruyeSeValidaYArranca
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/paquete.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(Paquete.SeConstruyeSeValidaYArranca PROPERTIES
    LABELS "internet;paquete" TIMEOUT 300)
endif()
