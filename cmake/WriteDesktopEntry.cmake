# Install-time part of stormtap_install_desktop_entry (DesktopEntry.cmake).
get_filename_component(stormtap_prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(stormtap_path "${stormtap_prefix}/${stormtap_command}")
if(stormtap_path MATCHES "[\n\r\t]")
  message(FATAL_ERROR "A desktop entry cannot start a program below ${stormtap_prefix}: the path holds a line break or a tab")
endif()
# Inside the quotes of an Exec argument, \ " ` and $ take a backslash; then the
# value as a whole doubles every backslash, and a % stands for itself as %%.
string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" stormtap_quoted "${stormtap_path}")
string(REPLACE "\\" "\\\\" stormtap_quoted "${stormtap_quoted}")
string(REPLACE "%" "%%" stormtap_quoted "${stormtap_quoted}")
file(READ "${stormtap_template}" stormtap_entry)
string(REPLACE "@EXEC@" "\"${stormtap_quoted}\"" stormtap_entry "${stormtap_entry}")
file(WRITE "${stormtap_staging}" "${stormtap_entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${stormtap_destination}" TYPE FILE FILES "${stormtap_staging}")
