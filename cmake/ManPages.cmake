# quillmere(1) and quillmere-cli(1), made from the programs' --help by
# help2man when the programs are built, and installed with them. Both
# programs answer --help without a display.
find_program(QUILLMERE_HELP2MAN help2man)
if(CMAKE_CROSSCOMPILING OR NOT QUILLMERE_HELP2MAN)
  if(NOT CMAKE_CROSSCOMPILING)
    message(STATUS "help2man not found: no man pages (scripts/deps.sh installs it)")
  endif()
  return()
endif()

set(QUILLMERE_MAN_DIR "${PROJECT_BINARY_DIR}/man")
set(man_pages)
# quillmere_man_page(TARGET SUMMARY_NAME DESCRIPTION [SUBCOMMANDS...])
function(quillmere_man_page target name summary)
  set(output "${QUILLMERE_MAN_DIR}/${target}.1.gz")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${QUILLMERE_MAN_DIR}"
    COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            "${CMAKE_COMMAND}" "-DPROGRAM=$<TARGET_FILE:${target}>" "-DNAME=${name}" "-DSUMMARY=${summary}"
            "-DVERSION=${PROJECT_VERSION}" "-DSUBCOMMANDS=${ARGN}" "-DHELP2MAN=${QUILLMERE_HELP2MAN}"
            "-DOUTPUT=${output}" -P "${PROJECT_SOURCE_DIR}/cmake/man_page.cmake"
    DEPENDS ${target} "${PROJECT_SOURCE_DIR}/cmake/man_page.cmake"
    COMMENT "Writing the man page of ${target}"
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS "${output}")
  install(FILES "${output}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endfunction()

if(TARGET quillmere-cli)
  quillmere_man_page(quillmere-cli "export, check and import the text of game ROM images"
    "quillmere-cli exports the text of a stretch of a ROM image through code tables as records ADDRESS,LENGTH,TEXT, checks a translation against the tables and the original byte counts, and imports it back into the ROM in place. Every text file is GBK (code page 936) unless --encoding utf-8 says otherwise. Every outcome is one line on standard error; the exit status is 0 for success, 1 for a refusal or failure, 2 for wrong usage."
    export check import charset pointers convert-table find exchange patch diff)
endif()
if(TARGET quillmere)
  quillmere_man_page(quillmere "translate the text of game ROM images in a window"
    "quillmere is the window of Quillmere: it exports the text of a stretch of a ROM image through code tables, checks a translation against the tables and the original byte counts, and imports it back into the ROM in place. Named address ranges and filter lists are kept in its data folder between runs. quillmere-cli(1) does the same from the command line.")
endif()
