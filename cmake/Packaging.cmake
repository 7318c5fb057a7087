# The Debian package of the three programs (sonvex, sonvex-cli, sonvex-sim) with the desktop
# entry and the icon: "./sonvex.sh package", or cpack --config build/CPackConfig.cmake.

set(SONVEX_PACKAGE_MAINTAINER "Sonvex developers <sonvex@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

# The Debian package that holds the library of an imported Qt target on this machine (the
# names differ between releases, e.g. libqt6core6 and libqt6core6t64); fallback when dpkg
# cannot tell.
function(sonvex_qt_package out target fallback)
  set(${out} ${fallback} PARENT_SCOPE)
  find_program(SONVEX_DPKG_QUERY dpkg-query)
  if(NOT SONVEX_DPKG_QUERY OR NOT TARGET ${target})
    return()
  endif()
  get_target_property(location ${target} LOCATION)
  if(NOT location)
    return()
  endif()
  file(REAL_PATH ${location} library)
  execute_process(COMMAND ${SONVEX_DPKG_QUERY} -S ${library}
    OUTPUT_VARIABLE owner ERROR_QUIET RESULT_VARIABLE failed)
  if(NOT failed AND owner MATCHES "^([^:, ]+)")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  endif()
endfunction()

set(qt_packages)
foreach(module Core Gui Widgets SerialPort Network PrintSupport Svg)
  string(TOLOWER ${module} name)
  sonvex_qt_package(package Qt6::${module} libqt6${name}6)
  list(APPEND qt_packages ${package})
endforeach()
# The platform plugins are loaded at run time, so no library dependency names them.
list(APPEND qt_packages qt6-qpa-plugins)
list(JOIN qt_packages ", " qt_depends)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sonvex)
set(CPACK_PACKAGE_VENDOR "Sonvex")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SONVEX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "control program for Sonvex digital loudspeaker processors")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SONVEX_PACKAGE_MAINTAINER})
# The summary is the synopsis line; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Sonvex edits every channel parameter of the 4-in/8-out, 3-in/6-out and
2-in/4-out processors on a 9600-baud serial line, keeps the device in step
with each edit, moves programs between PC files and the device's program
slots, draws EQ and crossover curves and prints a table of all parameters.
.
The package holds the desktop program (sonvex), the command-line tool for
scripts, backups and work over SSH (sonvex-cli) and a simulated processor
on a pseudo-terminal (sonvex-sim).")
set(CPACK_DEBIAN_PACKAGE_DEPENDS ${qt_depends})
# dpkg-shlibdeps adds every library the programs link, with its minimum version.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
