# Runs GENERATOR (a command, as a list) and fails when what it writes differs
# from FILE, the generated file checked in: regenerate it when this fails.
execute_process(COMMAND ${GENERATOR} OUTPUT_VARIABLE generated RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${status}")
endif()
file(READ "${FILE}" checked_in)
if(NOT generated STREQUAL checked_in)
  message(FATAL_ERROR "${FILE} is not what ${GENERATOR} makes today: regenerate it")
endif()
