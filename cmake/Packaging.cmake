# What `cmake --install` puts beside the two programs, and the Debian package
# made of it all by `cpack -G DEB` (scripts/package).

set(TESSEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tessel)
# Folders made by the install are world-readable whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(FILES ${PROJECT_SOURCE_DIR}/assets/tessel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/app-icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME tessel.svg)
install(FILES ${PROJECT_SOURCE_DIR}/assets/completion/tessel-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/doc/file-format.md
              ${PROJECT_SOURCE_DIR}/assets/debian/copyright
        DESTINATION ${TESSEL_DOC_DIR})

# Manual pages and the changelog are installed compressed, as Debian wants
# them: gzip -9 without a name or a date, so that a rebuild gives the same bytes.
set(packaging_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/assets/debian/changelog.in ${packaging_dir}/changelog @ONLY)
set(compressed)
foreach(source doc/man/tessel.1 doc/man/tessel-cli.1 ${packaging_dir}/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${packaging_dir}/${name}.gz)
  if(NOT IS_ABSOLUTE ${source})
    set(source ${PROJECT_SOURCE_DIR}/${source})
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${source} ${output}
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(tessel_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${packaging_dir}/tessel.1.gz ${packaging_dir}/tessel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_dir}/changelog.gz DESTINATION ${TESSEL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel)
set(CPACK_PACKAGE_VERSION ${TESSEL_PRODUCT_VERSION})
set(CPACK_PACKAGE_VENDOR Varnelle)
set(CPACK_PACKAGE_CONTACT "Varnelle <contact@varnelle.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gestion de vos rapports d'activités")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessel note le temps passé sur des activités : un arbre de catégories,
une semaine à la fois dans une grille, les totaux par jour, par activité et
par semaine, des vues mensuelles en histogramme, des camemberts par période,
des rapports hebdomadaires imprimés ou en PDF et des commentaires attachés
aux cases. Son interface est en français.

Le paquet contient le programme, tessel, et l'outil en ligne de commande,
tessel-cli, qui lit, vérifie, convertit et complète les mêmes fichiers.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://varnelle.example.org/produits/tessel/index.html")
# The libraries the binaries link come from dpkg-shlibdeps; what they only
# load at run time is named here: Qt's platform plugins (the windows, and the
# offscreen one tessel-cli report draws with), the fonts the screens and the
# reports are laid out in, and Qt's own French texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
