# Installation. The editor finds its compiler folder beside its own executable (AppDir is the
# executable's folder), so the programs and iscc/ stay together in one private folder,
# <prefix>/lib/tervelle/, and <prefix>/bin holds relative symbolic links to the programs. The
# running program resolves the link to its real folder, so AppDir is lib/tervelle/ wherever the
# tree is installed or moved.
#
# The build writes setup.iss and the map list into iscc/, so that folder must be writable by the
# map maker: install into a prefix of one's own (cmake --install build --prefix ~/.local).
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
  REGEX "/maplists/.+" EXCLUDE)

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
