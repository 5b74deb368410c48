# Runs `vxtool admin check FILE --json` as a Wine program started under the Linux locale LOCALE
# (LANG and LC_ALL, as a station of that locale starts it) and checks that its output holds every
# text of SHOWN (the dates as that station writes them, so the program did take the locale) and
# of ISO (the same dates in ISO form, the same on every station). Lists are "|"-separated.
foreach(var TOOL EMULATOR LOCALE FILE SHOWN ISO)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_dates.cmake needs -D${var}=...")
  endif()
endforeach()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env LANG=${LOCALE} LC_ALL=${LOCALE} ${EMULATOR} ${TOOL} admin check ${FILE} --json
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vxtool under ${LOCALE} exited ${rc}:\n${err}${out}")
endif()
string(REPLACE "|" ";" wanted "${SHOWN}|${ISO}")
foreach(text IN LISTS wanted)
  string(FIND "${out}" "\"${text}\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "under ${LOCALE} the output lacks \"${text}\":\n${out}${err}")
  endif()
endforeach()
message(STATUS "${LOCALE}: ${SHOWN}")
