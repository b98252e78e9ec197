# Runs keymora-script on SCRIPT and compares its standard output with EXPECTED, line by line.
# A script whose expected output ends in an error line is expected to exit with status 2.
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(COMMAND ${TOOL} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  get_filename_component(name ${SCRIPT} NAME_WE)
  file(WRITE ${WORKDIR}/${name}.actual.jsonl "${actual}")
  message(FATAL_ERROR "output differs from ${EXPECTED}\n--- expected\n${expected}\n--- actual\n${actual}\n${errors}")
endif()
if(expected MATCHES "\"error\":[^\n]*\n$")
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "expected exit status 2, got ${status}")
  endif()
elseif(NOT status EQUAL 0)
  message(FATAL_ERROR "exit status ${status}\n${errors}")
endif()
