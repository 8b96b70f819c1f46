# Install rules and the Debian package zobran_<version>_<arch>.deb (cpack -G DEB in the build folder,
# or scripts/package.sh). The programs go to /usr/bin, with their manual pages, the menu entry and
# its icon. zobran-cli and its manual page come along once its target and docs/zobran-cli.1 exist.
include(GNUInstallDirs)

set(ZOBRAN_PROGRAMS zobran OSQL)
if(TARGET zobran-cli)
  list(APPEND ZOBRAN_PROGRAMS zobran-cli)
endif()
install(TARGETS ${ZOBRAN_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages, compressed as Debian keeps them: one for each program that has a page in docs/.
set(manual_pages)
foreach(program IN LISTS ZOBRAN_PROGRAMS)
  set(page ${PROJECT_SOURCE_DIR}/docs/${program}.1)
  if(EXISTS ${page})
    set(compressed ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${compressed}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                       COMMAND gzip -9 -n -c ${page} > ${compressed}
                       DEPENDS ${page} VERBATIM)
    list(APPEND manual_pages ${compressed})
  endif()
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${manual_pages})
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/zobran.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/zobran.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zobran)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZOBRAN developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SQL Server scripting utility for database administrators")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "ZOBRAN writes the rows of chosen queries as INSERT INTO scripts, runs script files against one\n"
       "or several databases of a server (with OSQL, its script runner), and builds Delete from scripts\n"
       "for chosen tables. It reaches SQL Server through unixODBC and an ODBC driver registered under\n"
       "the driver name SQL Server (zobran --register-driver registers FreeTDS's or the vendor's).")
set(CPACK_PACKAGING_INSTALL_PREFIX ${ZOBRAN_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ZOBRAN developers <zobran@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt 6 and unixODBC libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# FreeTDS's ODBC driver reaches SQL Server; libsecret (which QtKeychain loads when it runs) reaches
# the desktop's secret store for the password.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, libsecret-1-0")
include(CPack)
