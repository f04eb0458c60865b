# Creates (or brings up to date) the tests' Wine prefix, then leaves a
# persistent wineserver running for it: each test program then starts in a
# fraction of a second instead of bringing up a server of its own. The
# fixture's clean-up test stops it. The environment comes from the fixture.
foreach(var WINE64 WINESERVER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CreatePrefix.cmake needs -D${var}=...")
  endif()
endforeach()
execute_process(COMMAND ${WINE64} wineboot --init RESULT_VARIABLE boot TIMEOUT 240)
execute_process(COMMAND ${WINESERVER} -w RESULT_VARIABLE wait TIMEOUT 60)
# The server detaches itself; its output must not hold a pipe open to us.
execute_process(COMMAND ${WINESERVER} -p RESULT_VARIABLE persist TIMEOUT 60
                OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
# The first program of a session also starts Wine's background services,
# which then live as long as the server. Start them here, away from any pipe
# a test's output goes to, or CTest would wait for them to end.
execute_process(COMMAND ${WINE64} cmd /c exit RESULT_VARIABLE services TIMEOUT 120
                OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
if(NOT boot EQUAL 0 OR NOT persist EQUAL 0 OR NOT services EQUAL 0 OR NOT EXISTS "$ENV{WINEPREFIX}/system.reg")
  message(FATAL_ERROR "wineboot failed (${boot}) for prefix $ENV{WINEPREFIX}")
endif()
