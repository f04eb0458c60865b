# Runs both tsarelay benchmarks: the emulator's instruction counts, then the
# call rates under wine64 in a Wine prefix of the benchmark's own.
foreach(var WINE64 WINESERVER BENCH_CALLS BENCH_INSTRUCTIONS DLL32 PREFIX)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunBench.cmake needs -D${var}=...")
  endif()
endforeach()
execute_process(COMMAND ${BENCH_INSTRUCTIONS} ${DLL32} COMMAND_ERROR_IS_FATAL ANY)

set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=\;winemenubuilder.exe=d")
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
execute_process(COMMAND ${WINE64} wineboot --init OUTPUT_FILE /dev/null ERROR_FILE /dev/null
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${WINE64} ${BENCH_CALLS} OUTPUT_FILE ${PREFIX}.calls.txt
                RESULT_VARIABLE calls)
execute_process(COMMAND ${WINESERVER} -k)
file(READ ${PREFIX}.calls.txt output)
message("${output}")
if(NOT calls EQUAL 0)
  message(FATAL_ERROR "the call benchmark failed (${calls})")
endif()
