# Writes one program's man page, gzipped, from its --help (and each
# subcommand's --help) with help2man. Run by cmake/ManPages.cmake:
#   cmake -DPROGRAM=... -DNAME=... -DSUMMARY=... -DVERSION=... -DSUBCOMMANDS="a;b"
#         -DHELP2MAN=... -DOUTPUT=page.1.gz -P man_page.cmake
set(include_file "${OUTPUT}.include")
set(text "[DESCRIPTION]\n${SUMMARY}\n")
if(SUBCOMMANDS)
  string(APPEND text "\n[SUBCOMMANDS]\n")
  foreach(subcommand IN LISTS SUBCOMMANDS)
    execute_process(COMMAND "${PROGRAM}" ${subcommand} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${PROGRAM} ${subcommand} --help failed")
    endif()
    # As roff: backslashes doubled, no line taken for a request.
    string(REPLACE "\\" "\\\\" help "${help}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
    string(APPEND text ".SS ${subcommand}\n.nf\n${help}.fi\n")
  endforeach()
endif()
file(WRITE "${include_file}" "${text}")
get_filename_component(page "${OUTPUT}" NAME_WLE)
get_filename_component(folder "${OUTPUT}" DIRECTORY)
execute_process(
  COMMAND "${HELP2MAN}" --no-info --no-discard-stderr --section 1 --name "${NAME}" --version-string "${VERSION}"
          --include "${include_file}" --output "${folder}/${page}" "${PROGRAM}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${PROGRAM}")
endif()
# gzip -9n: the smallest file, without the time it was made.
execute_process(COMMAND gzip -9nf "${folder}/${page}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${page}")
endif()
