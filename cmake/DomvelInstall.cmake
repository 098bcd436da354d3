# Install rules and the Debian packages (CPack): the client with its desktop
# entry, icon, AppStream metadata and manual page in one package, the demo
# server with its manual page and systemd unit in another. The files come from
# packaging/; scripts/package.sh builds the packages.
include(GNUInstallDirs)

set(DOMVEL_CA_CERT "" CACHE FILEPATH
  "A cooperative's CA certificate (PEM), installed with the client and trusted without --ca-cert")
set(DOMVEL_HOMEPAGE_URL "https://domvel-e-vadiv.example.org" CACHE STRING
  "Project page named in the AppStream metadata; its docs/main-window.png is the screenshot")
set(DOMVEL_PACKAGE_MAINTAINER "Domvel-E-Vadiv <e-vadiv@example.org>" CACHE STRING
  "Maintainer field of the Debian packages")
# The release of this version, for the metadata and the manual pages.
set(DOMVEL_RELEASE_DATE "2026-12-10")
set(DOMVEL_RELEASE_DATE_RFC2822 "Thu, 10 Dec 2026 12:00:00 +0000")
set(DOMVEL_APP_ID "pl.domvel.evadiv")

set(_domvel_packaging "${PROJECT_SOURCE_DIR}/packaging")
set(_domvel_generated "${PROJECT_BINARY_DIR}/packaging")
set(_domvel_datadir "${CMAKE_INSTALL_DATADIR}/domvel-e-vadiv")
set(DOMVEL_CA_INSTALL_PATH "${CMAKE_INSTALL_FULL_DATADIR}/domvel-e-vadiv/cooperative-ca.pem")

# The client finds its data folder relative to its own executable.
file(RELATIVE_PATH _domvel_data_from_bin "${CMAKE_INSTALL_FULL_BINDIR}"
  "${CMAKE_INSTALL_FULL_DATADIR}/domvel-e-vadiv")
target_compile_definitions(domvel_app PRIVATE DOMVEL_DATA_FROM_BIN="${_domvel_data_from_bin}")
# The same place relative to the client in the build tree as when installed.
cmake_path(ABSOLUTE_PATH _domvel_data_from_bin BASE_DIRECTORY "${PROJECT_BINARY_DIR}/app"
  NORMALIZE OUTPUT_VARIABLE _domvel_build_datadir)

if(DOMVEL_CA_CERT)
  if(NOT EXISTS "${DOMVEL_CA_CERT}" OR IS_DIRECTORY "${DOMVEL_CA_CERT}")
    message(FATAL_ERROR "DOMVEL_CA_CERT: nie ma pliku ${DOMVEL_CA_CERT}")
  endif()
  # The file itself, not a link to it (the system's certificates are links).
  file(REAL_PATH "${DOMVEL_CA_CERT}" _domvel_ca_file)
  file(READ "${_domvel_ca_file}" _domvel_ca_text)
  if(NOT _domvel_ca_text MATCHES "-----BEGIN CERTIFICATE-----")
    message(FATAL_ERROR "DOMVEL_CA_CERT: ${DOMVEL_CA_CERT} nie zawiera certyfikatu PEM")
  endif()
  # The client run from build/ trusts it too.
  configure_file("${_domvel_ca_file}" "${_domvel_build_datadir}/cooperative-ca.pem" COPYONLY)
  install(FILES "${_domvel_ca_file}" RENAME cooperative-ca.pem
    DESTINATION "${_domvel_datadir}" COMPONENT client)
else()
  file(REMOVE "${_domvel_build_datadir}/cooperative-ca.pem")
endif()

# Files with the version, the paths and the build's default address in them.
configure_file("${_domvel_packaging}/${DOMVEL_APP_ID}.metainfo.xml.in"
  "${_domvel_generated}/${DOMVEL_APP_ID}.metainfo.xml" @ONLY)
configure_file("${_domvel_packaging}/domvel-demo-server.service.in"
  "${_domvel_generated}/domvel-demo-server.service" @ONLY)
set(_domvel_compressed)
foreach(page domvel-e-vadiv.1 domvel-demo-server.1 changelog)
  configure_file("${_domvel_packaging}/${page}.in" "${_domvel_generated}/${page}" @ONLY)
  # Debian wants manual pages and changelogs compressed; -n keeps the output
  # the same from build to build.
  add_custom_command(OUTPUT "${_domvel_generated}/${page}.gz"
    COMMAND gzip -9nkf "${page}"
    DEPENDS "${_domvel_generated}/${page}"
    WORKING_DIRECTORY "${_domvel_generated}"
    VERBATIM)
  list(APPEND _domvel_compressed "${_domvel_generated}/${page}.gz")
endforeach()
add_custom_target(domvel_packaging_files ALL DEPENDS ${_domvel_compressed})

# The client.
install(TARGETS domvel-e-vadiv RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT client)
install(FILES "${_domvel_packaging}/${DOMVEL_APP_ID}.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications" COMPONENT client)
install(FILES "${_domvel_generated}/${DOMVEL_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" COMPONENT client)
install(FILES "${_domvel_packaging}/domvel-e-vadiv.svg"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps" COMPONENT client)
# Rendered from the SVG: rsvg-convert -w 48 -h 48 domvel-e-vadiv.svg -o domvel-e-vadiv-48.png
install(FILES "${_domvel_packaging}/domvel-e-vadiv-48.png" RENAME domvel-e-vadiv.png
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps" COMPONENT client)
install(FILES "${_domvel_generated}/domvel-e-vadiv.1.gz"
  DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT client)

# The demo server, when it is built.
set(_domvel_packages "client:domvel-e-vadiv")
if(DOMVEL_BUILD_SERVER)
  install(TARGETS domvel-demo-server RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT server)
  install(FILES "${_domvel_generated}/domvel-demo-server.1.gz"
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT server)
  install(FILES "${_domvel_generated}/domvel-demo-server.service"
    DESTINATION lib/systemd/system COMPONENT server)
  list(APPEND _domvel_packages "server:domvel-demo-server")
endif()

# Each package's copyright and changelog.
foreach(pair ${_domvel_packages})
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES "${_domvel_packaging}/copyright" "${_domvel_generated}/changelog.gz"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${package}" COMPONENT ${component})
endforeach()

# CPack: two Debian packages, dependencies from dpkg-shlibdeps plus what the
# programs load at run time: the SVG plugins for the glyphs, the Polish
# translations, the report fonts, the SQLite driver, openssl.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME domvel-e-vadiv)
set(CPACK_PACKAGE_VENDOR "Domvel-E-Vadiv")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# The package holds what this tree was configured for (scripts/package.sh: /usr).
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_PACKAGE_CONTACT "${DOMVEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${DOMVEL_HOMEPAGE_URL}")
# The programs ship stripped; their debug info goes to a -dbgsym package of
# each (.ddeb, by build ID under /usr/lib/debug), for a debugger or a crash
# report to find. The Debian generator strips them itself when it splits the
# debug info off: stripping beforehand (CPACK_STRIP_FILES) would leave it
# nothing to split.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client)
if(DOMVEL_BUILD_SERVER)
  list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DOMVEL_PACKAGE_MAINTAINER}")
# Both packages come from one source; their changelog names it.
set(CPACK_DEBIAN_PACKAGE_SOURCE domvel-e-vadiv)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME domvel-e-vadiv)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, fonts-liberation, ca-certificates")
set(CPACK_COMPONENT_CLIENT_DESCRIPTION
  "settlement accounts of a dwelling in a housing cooperative
The tenant's client of a Polish housing cooperative's e-account service
(SOAP 1.1 over HTTPS). After signing in it shows, for a year and for each
charge category (rents, interest on rents, water, interest on water, waste),
the opening state, each month's debits and credits and the balance; a
month's ledger card and a charge's components. Every view can be printed,
previewed, saved as a print file and exported as text, HTML and PDF.

The user interface is in Polish.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME domvel-demo-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "libqt6sql6-sqlite, openssl")
set(CPACK_COMPONENT_SERVER_DESCRIPTION
  "demo e-account server for the Domvel-E-Vadiv client
An HTTPS SOAP 1.1 service with the client's contract: all nine operations,
the same credential encoding and session token, 15-minute sessions, password
change, and a SQLite database of demo tenants whose yearly figures agree with
their month ledgers. It makes its own self-signed certificate on first start.

A systemd unit runs it as a dynamic user with a state directory; it is not
enabled on installation.")

include(CPack)
