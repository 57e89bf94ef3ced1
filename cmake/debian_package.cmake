# The Debian package of the desk (cpack -G DEB in a build folder; ./build.sh package):
# inkstone_<version>_amd64.deb with the program, its icon, desktop entry, metainfo and the
# empty chapter database, depending on the shared libraries it links (dpkg-shlibdeps), the
# Qt platform plugins and a Chinese font.
include(GNUInstallDirs)
set(INKSTONE_DOC_FOLDER ${CMAKE_INSTALL_DATADIR}/doc/inkstone)
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/copyright DESTINATION ${INKSTONE_DOC_FOLDER})
# Debian keeps a package's changelog compressed, the same bytes on every build; a package
# made from its own source (no Debian revision) names it changelog.gz.
set(INKSTONE_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${INKSTONE_CHANGELOG}
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/app/desktop/changelog > ${INKSTONE_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/app/desktop/changelog
  VERBATIM)
set(INKSTONE_MANUAL_PAGES)
foreach(page inkstone.1 inkstone-database-tool.1)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${page}.gz
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/app/desktop/${page} > ${CMAKE_BINARY_DIR}/${page}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/app/desktop/${page}
    VERBATIM)
  list(APPEND INKSTONE_MANUAL_PAGES ${CMAKE_BINARY_DIR}/${page}.gz)
endforeach()
add_custom_target(debian_documents ALL DEPENDS ${INKSTONE_CHANGELOG} ${INKSTONE_MANUAL_PAGES})
install(FILES ${INKSTONE_CHANGELOG} DESTINATION ${INKSTONE_DOC_FOLDER})
install(FILES ${INKSTONE_MANUAL_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME inkstone)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Inkstone team <team@inkstone.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "writing desk for serialised Chinese web novels")
set(CPACK_PACKAGE_DESCRIPTION
  "A chapter list and a chapter editor for authors who write thousands of\n\
chapters: every chapter is saved ten times a second into a small database,\n\
the text is also kept in an autosave file, and the chapters are backed up\n\
when the desk closes. Typing statistics, the text's colours and font and a\n\
quick web search sit beside the text.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Only the desk's own files (not GoogleTest's, when the tests are built alongside).
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)
