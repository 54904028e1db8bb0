# Installs the build into a temporary prefix and runs the installed programs there.
# usage: cmake -DBUILD_DIR=... -P installtest.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${BUILD_DIR}/iscc/iscc.exe")
  message(STATUS "install-tree: skipped, the compiler folder is not laid out (scripts/setup-iscc)")
  return()
endif()

set(root "${BUILD_DIR}/install-test")
set(prefix "${root}/prefix")
file(REMOVE_RECURSE "${root}")
file(MAKE_DIRECTORY "${root}/config")
# Settings of the installed programs stay inside the test folder.
set(ENV{XDG_CONFIG_HOME} "${root}/config")
set(ENV{XDG_STATE_HOME} "${root}/state")
set(ENV{XDG_DATA_HOME} "${root}/data")
set(usercopy "${root}/data/Orbeck/Tervelle")

# check("<if condition>" message...): the condition is parsed as written, quotes included.
function(check condition)
  set(why "${ARGN}")
  cmake_language(EVAL CODE "if(NOT (${condition}))\n message(FATAL_ERROR \"install-tree: \${why}\")\nendif()")
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
check("result EQUAL 0" "cmake --install failed (${result}): ${out}${err}")

foreach(file bin/tervelle bin/tervelle-pack lib/tervelle/iscc/iscc.exe lib/tervelle/iscc/Default.isl
             lib/tervelle/iscc/setup.ico share/applications/tervelle.desktop
             share/icons/hicolor/64x64/apps/tervelle.png share/mime/packages/tervelle-mpr.xml
             lib/tervelle/shared-install lib/tervelle/iscc/license.txt share/man/man1/tervelle.1.gz
             share/man/man1/tervelle-pack.1.gz share/bash-completion/completions/tervelle-pack
             share/metainfo/example.orbeck.tervelle.metainfo.xml share/doc/tervelle/copyright
             share/tervelle/translations/de/Lang.lng)
  check("EXISTS \"${prefix}/${file}\"" "${file} was not installed")
endforeach()
check("IS_DIRECTORY \"${prefix}/lib/tervelle/iscc/maplists\"" "the staging folder was not installed")
check("IS_DIRECTORY \"${prefix}/lib/tervelle/iscc/languages\"" "the language files were not installed")
check("IS_SYMLINK \"${prefix}/bin/tervelle\"" "bin/tervelle is not a link")
check("NOT EXISTS \"${prefix}/lib/tervelle/iscc/setup.iss\"" "a build's setup.iss was installed")

# The demo project through the installed tool, started by its link in bin/.
set(project "${BUILD_DIR}/examples/demo.mpr")
check("EXISTS \"${project}\"" "the demo project ${project} was not made by the build")
execute_process(COMMAND "${prefix}/bin/tervelle-pack" info "${project}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
check("result EQUAL 0" "tervelle-pack info failed: ${err}")
string(FIND "${out}" "Tervelle demo pack" found)
check("found GREATER -1" "tervelle-pack info does not show the demo pack:\n${out}")

# A German-speaking user gets the installed German texts, found from the program folder.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LANGUAGE=de LC_ALL=de_DE.UTF-8
                        "${prefix}/bin/tervelle-pack" check "${project}"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
check("result EQUAL 0" "tervelle-pack check failed: ${err}")
string(FIND "${out}" "Warnung(en)" found)
check("found GREATER -1" "tervelle-pack check does not speak German for a German user:\n${out}")

# The installed tree is shared: the compiler is taken from this user's copy of it, made on first
# use from the installed program folder (not the folder of the link).
execute_process(COMMAND "${prefix}/bin/tervelle-pack" script "${project}" --out "${root}/demo.exe"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
check("result EQUAL 0" "tervelle-pack script failed: ${err}")
string(REPLACE "/" "\\" icon "Z:${usercopy}/iscc/setup.ico")
string(FIND "${out}" "SetupIconFile=${icon}" found)
check("found GREATER -1" "the script does not take the compiler from the copy in ${usercopy}/iscc:\n${out}")
file(SHA256 "${prefix}/lib/tervelle/iscc/iscc.exe" installed)
file(SHA256 "${usercopy}/iscc/iscc.exe" copied)
check("installed STREQUAL copied" "the copy of iscc.exe differs from the installed one")
check("IS_DIRECTORY \"${usercopy}/iscc/maplists\"" "the copy has no staging folder")

# The editor starts without a display and stays up until it is told to end; at its end it
# records the program folder it found.
find_program(TIMEOUT timeout REQUIRED)
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND ${TIMEOUT} -s TERM 2 "${prefix}/bin/tervelle"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
check("result EQUAL 124" "the installed editor did not stay up (exit ${result}): ${err}")
file(READ "${root}/config/Orbeck/Tervelle.conf" settings)
string(FIND "${settings}" "AppDir=${usercopy}/" found)
check("found GREATER -1" "the editor did not take the copy ${usercopy}/ as its program folder:\n${settings}")
check("NOT EXISTS \"${prefix}/lib/tervelle/iscc/setup.iss\"" "something was written into the installed tree")

# A new version installed over the tree: the copy the settings now name is made again from it.
file(APPEND "${prefix}/lib/tervelle/shared-install" "upgraded\n")
file(WRITE "${prefix}/lib/tervelle/iscc/new-in-this-version.txt" "x")
execute_process(COMMAND "${prefix}/bin/tervelle-pack" script "${project}" --out "${root}/demo.exe"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
check("result EQUAL 0" "tervelle-pack script failed after the upgrade: ${err}")
check("EXISTS \"${usercopy}/iscc/new-in-this-version.txt\"" "the copy was not made again after an upgrade")

file(REMOVE_RECURSE "${root}")
message(STATUS "install-tree: passed")
