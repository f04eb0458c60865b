# Finds the tools tsarelay needs beyond the native compilers and fails with
# the Debian package to install when one is missing.
function(tsarelay_require_program var package)
  find_program(${var} NAMES ${ARGN} PATHS /usr/lib/wine NO_CACHE)
  if(NOT ${var})
    message(FATAL_ERROR "tsarelay needs '${ARGV2}' (Debian package ${package}). "
                        "Install: apt-get install g++-mingw-w64-i686 g++-mingw-w64-x86-64 "
                        "wine64 libunicorn-dev qt6-base-dev")
  endif()
  set(${var} "${${var}}" PARENT_SCOPE)
endfunction()

tsarelay_require_program(TSARELAY_CC32 g++-mingw-w64-i686 i686-w64-mingw32-gcc)
tsarelay_require_program(TSARELAY_CC64 g++-mingw-w64-x86-64 x86_64-w64-mingw32-gcc)
tsarelay_require_program(TSARELAY_CXX64 g++-mingw-w64-x86-64 x86_64-w64-mingw32-g++)
tsarelay_require_program(TSARELAY_WINE64 wine64 wine64)
tsarelay_require_program(TSARELAY_WINESERVER wine64 wineserver64 wineserver)

find_path(TSARELAY_UNICORN_INCLUDE unicorn/unicorn.h)
find_library(TSARELAY_UNICORN_LIBRARY unicorn)
if(NOT TSARELAY_UNICORN_INCLUDE OR NOT TSARELAY_UNICORN_LIBRARY)
  message(FATAL_ERROR "tsarelay's tests need the Unicorn emulator (Debian package libunicorn-dev)")
endif()

# One cross-built Windows binary: compiled and linked in one driver call.
#   tsarelay_cross_build(<target> OUTPUT <file> COMPILER <driver>
#                        SOURCES <files...> [FLAGS <args...>] [LIBS <args...>]
#                        [DEPENDS <files...>])
function(tsarelay_cross_build target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT;COMPILER" "SOURCES;FLAGS;LIBS;DEPENDS")
  get_filename_component(out_dir "${arg_OUTPUT}" DIRECTORY)
  add_custom_command(
    OUTPUT "${arg_OUTPUT}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    COMMAND "${arg_COMPILER}" ${arg_FLAGS} -o "${arg_OUTPUT}" ${arg_SOURCES} ${arg_LIBS}
    DEPENDS ${arg_SOURCES} ${arg_DEPENDS}
    COMMENT "Cross-building ${arg_OUTPUT}"
    VERBATIM COMMAND_EXPAND_LISTS)
  add_custom_target(${target} ALL DEPENDS "${arg_OUTPUT}")
endfunction()
