# The manual pages sonvex(1), sonvex-cli(1) and sonvex-sim(1), made by help2man from the built
# programs' own --help and --version, run without a display. sonvex-cli's page also has a
# section for each command, from "sonvex-cli COMMAND --help" (tools/sonvex-cli/man-commands.sh).
# The pages are built with the programs (build/man/*.1.gz) and installed in man1.

find_program(SONVEX_HELP2MAN help2man)
find_program(SONVEX_GZIP gzip)
if(NOT SONVEX_HELP2MAN OR NOT SONVEX_GZIP)
  message(WARNING "help2man or gzip not found: no manual pages (apt-get install help2man)")
  return()
endif()

set(SONVEX_MAN_DIR ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${SONVEX_MAN_DIR})
set(SONVEX_MAN_PROGRAMS sonvex sonvex-cli sonvex-sim)

# sonvex_man_page(PROGRAM SUMMARY [INCLUDES...]): the page of PROGRAM with SUMMARY as the text of
# its NAME section, the other programs under SEE ALSO and the help2man include files given.
function(sonvex_man_page program summary)
  set(see_also ${SONVEX_MAN_PROGRAMS})
  list(REMOVE_ITEM see_also ${program})
  list(TRANSFORM see_also REPLACE "-" "\\\\-")
  list(TRANSFORM see_also APPEND " (1)")
  list(TRANSFORM see_also PREPEND ".BR ")
  list(JOIN see_also ",\n" see_also)
  file(WRITE ${SONVEX_MAN_DIR}/${program}-see-also.h2m "[SEE ALSO]\n${see_also}\n")

  set(include_options --include=${SONVEX_MAN_DIR}/${program}-see-also.h2m)
  foreach(include ${ARGN})
    list(APPEND include_options --include=${include})
  endforeach()
  set(page ${SONVEX_MAN_DIR}/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
      --unset=QT_QPA_PLATFORM
      ${SONVEX_HELP2MAN} --no-info --no-discard-stderr --section=1
      "--name=${summary}" "--source=Sonvex ${PROJECT_VERSION}" "--manual=User Commands"
      ${include_options} --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${SONVEX_GZIP} --best --no-name --force ${page}
    DEPENDS ${program} ${ARGN}
    COMMENT "Manual page ${program}(1)"
    VERBATIM)
  add_custom_target(man-${program} ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

set(commands ${SONVEX_MAN_DIR}/sonvex-cli-commands.h2m)
set(commands_script ${PROJECT_SOURCE_DIR}/tools/sonvex-cli/man-commands.sh)
add_custom_command(OUTPUT ${commands}
  COMMAND ${commands_script} $<TARGET_FILE:sonvex-cli> > ${commands}
  DEPENDS sonvex-cli ${commands_script}
  COMMENT "Command sections of sonvex-cli(1)")

sonvex_man_page(sonvex "control panel for Sonvex digital loudspeaker processors")
sonvex_man_page(sonvex-cli "control Sonvex loudspeaker processors from the command line"
  ${commands})
sonvex_man_page(sonvex-sim "simulated Sonvex loudspeaker processors on a pseudo-terminal")
