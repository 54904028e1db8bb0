# Installation. The editor finds its compiler folder beside its own executable (AppDir is the
# executable's folder), so the programs and iscc/ stay together in one private folder,
# <prefix>/lib/tervelle/, and <prefix>/bin holds relative symbolic links to the programs. The
# running program resolves the link to its real folder, so AppDir is lib/tervelle/ wherever the
# tree is installed or moved.
#
# An installed tree is shared and never written: the mark "shared-install" beside the programs
# sends each user's builds to a copy of iscc/ under $XDG_DATA_HOME/Orbeck/Tervelle/, made on
# first use. A build tree has no mark and builds in its own iscc/.
include(GNUInstallDirs)

set(TERVELLE_INSTALL_APPDIR ${CMAKE_INSTALL_LIBDIR}/tervelle)
set(TERVELLE_ISCC_DIR ${CMAKE_BINARY_DIR}/iscc)

install(CODE "
  if(NOT EXISTS \"${TERVELLE_ISCC_DIR}/iscc.exe\")
    message(FATAL_ERROR \"The compiler folder ${TERVELLE_ISCC_DIR} is not laid out: run scripts/setup-iscc ${CMAKE_BINARY_DIR} first.\")
  endif()")

install(TARGETS tervelle tervelle-pack RUNTIME DESTINATION ${TERVELLE_INSTALL_APPDIR})

# The compiler as laid out by scripts/setup-iscc, without what earlier builds left in it.
install(DIRECTORY ${TERVELLE_ISCC_DIR}/ DESTINATION ${TERVELLE_INSTALL_APPDIR}/iscc
  USE_SOURCE_PERMISSIONS
  REGEX "/setup\\.iss$" EXCLUDE
  REGEX "/\\.innosetup-[^/]*$" EXCLUDE
  REGEX "/maplists/.+" EXCLUDE
  REGEX "/staged(/.*)?$" EXCLUDE
  REGEX "/build\\.lock$" EXCLUDE)

# Its content changes with every version, so each user's copy is made again after an upgrade.
file(WRITE ${CMAKE_BINARY_DIR}/shared-install
  "Tervelle ${PROJECT_VERSION}: this program folder is shared; builds use a copy of iscc/ under $XDG_DATA_HOME/Orbeck/Tervelle/.\n")
install(FILES ${CMAKE_BINARY_DIR}/shared-install DESTINATION ${TERVELLE_INSTALL_APPDIR})

# bin/ -> lib/tervelle/, relative, so the tree can be moved or staged with DESTDIR.
file(RELATIVE_PATH tervelle_bin_to_app /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${TERVELLE_INSTALL_APPDIR})
foreach(program tervelle tervelle-pack)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${link}\")
    message(STATUS \"Installing: \${link} -> ${tervelle_bin_to_app}/${program}\")
    file(CREATE_LINK \"${tervelle_bin_to_app}/${program}\" \"\${link}\" SYMBOLIC)")
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/assets/tervelle.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/tervelle.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${PROJECT_SOURCE_DIR}/assets/tervelle-mpr.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# Manual pages, the changelog and the AppStream data carry the project's version; the first two
# are compressed as Debian wants them.
set(TERVELLE_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
configure_file(${PROJECT_SOURCE_DIR}/assets/example.orbeck.tervelle.metainfo.xml.in
               ${TERVELLE_DOC_DIR}/example.orbeck.tervelle.metainfo.xml @ONLY)
set(tervelle_compressed)
foreach(page tervelle.1 tervelle-pack.1 changelog)
  if(page STREQUAL "changelog")
    set(source ${PROJECT_SOURCE_DIR}/packaging/changelog.in)
  else()
    set(source ${PROJECT_SOURCE_DIR}/doc/man/${page}.in)
  endif()
  configure_file(${source} ${TERVELLE_DOC_DIR}/${page} @ONLY)
  add_custom_command(OUTPUT ${TERVELLE_DOC_DIR}/${page}.gz
    COMMAND gzip -9nc ${TERVELLE_DOC_DIR}/${page} > ${TERVELLE_DOC_DIR}/${page}.gz
    DEPENDS ${TERVELLE_DOC_DIR}/${page} VERBATIM)
  list(APPEND tervelle_compressed ${TERVELLE_DOC_DIR}/${page}.gz)
endforeach()
add_custom_target(tervelle-docs ALL DEPENDS ${tervelle_compressed})

install(FILES ${TERVELLE_DOC_DIR}/tervelle.1.gz ${TERVELLE_DOC_DIR}/tervelle-pack.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/completion/tervelle-pack
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${TERVELLE_DOC_DIR}/example.orbeck.tervelle.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${TERVELLE_DOC_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tervelle)
# Translations, when the project has any: translations/<language>/Lang.lng.
if(EXISTS ${PROJECT_SOURCE_DIR}/translations)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/translations/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tervelle/translations)
endif()

# The desktop reads the MIME type from the database, not from the package file. Packagers
# (DESTDIR set) run this in their own post-install step.
install(CODE "
  find_program(TERVELLE_UPDATE_MIME update-mime-database)
  if(TERVELLE_UPDATE_MIME AND NOT DEFINED ENV{DESTDIR})
    execute_process(COMMAND \${TERVELLE_UPDATE_MIME} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(WARNING \"update-mime-database failed; *.mpr files may not open in the editor from the file manager.\")
    endif()
  endif()")

# The installed tree works: tervelle-pack finds the compiler through AppDir, the editor starts.
add_test(NAME install-tree
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/installtest.cmake)
set_tests_properties(install-tree PROPERTIES SKIP_REGULAR_EXPRESSION "install-tree: skipped" TIMEOUT 120)
