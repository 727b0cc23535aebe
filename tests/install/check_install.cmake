# Installs the build into a scratch prefix and checks the layout a packager relies on:
# the programs answer --version from there, the data, desktop files, icons and man
# pages are where the desktop and the program look for them, and the desktop files
# pass their validators.
# cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -DGUI=ON|OFF -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected bin/kolm-cli share/man/man1/kolm-cli.1)
if(GUI)
  list(APPEND expected bin/kolm share/kolm/RL.ico share/kolm/PH.ico share/kolm/ZETA.ico
       share/kolm/ERRE.ico share/kolm/IX.ico share/kolm/SWR.ico
       share/applications/org.kolm.Kolm.desktop share/metainfo/org.kolm.Kolm.metainfo.xml
       share/icons/hicolor/scalable/apps/org.kolm.Kolm.svg
       share/icons/hicolor/48x48/apps/org.kolm.Kolm.png
       share/icons/hicolor/256x256/apps/org.kolm.Kolm.png share/man/man1/kolm.1)
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

set(programs kolm-cli)
if(GUI)
  list(APPEND programs kolm)
endif()
foreach(p IN LISTS programs)
  execute_process(COMMAND "${PREFIX}/bin/${p}" --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "${p} ${VERSION}\n")
    message(FATAL_ERROR "${p} --version: status ${rc}, printed '${out}'")
  endif()
endforeach()

if(GUI)
  execute_process(COMMAND desktop-file-validate
                          "${PREFIX}/share/applications/org.kolm.Kolm.desktop"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR out MATCHES "error:")
    message(FATAL_ERROR "desktop-file-validate: ${rc} ${out}")
  endif()
  execute_process(COMMAND appstreamcli validate --no-net
                          "${PREFIX}/share/metainfo/org.kolm.Kolm.metainfo.xml"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate: ${rc} ${out}")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed layout, --version and desktop files checked")
