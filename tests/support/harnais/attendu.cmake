# cmake -DPROGRAMME=... -DARGUMENTS=a;b -DCODE=nonzero|0 -DSORTIE=regex -P attendu.cmake
# Runs a test executable and checks its exit code and what it printed.
execute_process(COMMAND ${PROGRAMME} ${ARGUMENTS} RESULT_VARIABLE code OUTPUT_VARIABLE sortie
    ERROR_VARIABLE sortie)
message("${sortie}")
if(CODE STREQUAL "nonzero" AND code EQUAL 0)
    message(FATAL_ERROR "exit code 0 where a failure was expected")
elseif(CODE STREQUAL "0" AND NOT code EQUAL 0)
    message(FATAL_ERROR "exit code '${code}' where success was expected")
endif()
if(NOT sortie MATCHES "${SORTIE}")
    message(FATAL_ERROR "the output does not match '${SORTIE}'")
endif()
