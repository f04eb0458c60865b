# stormtap_install_desktop_entry(<template> <command>)
# Installs the desktop entry <template> (its Exec line reads "Exec=@EXEC@" plus
# any arguments) to share/applications, with @EXEC@ replaced by the absolute
# path of <command> in the installed bin folder. The path is only known at
# install time (cmake --install --prefix, CPack), so the entry is written then,
# quoted and escaped as desktop entries require: any prefix works, blanks,
# quotes and dollar signs included.
function(stormtap_install_desktop_entry template command)
  get_filename_component(name ${template} NAME)
  install(CODE "
    set(stormtap_template \"${template}\")
    set(stormtap_command \"${CMAKE_INSTALL_BINDIR}/${command}\")
    set(stormtap_staging \"${CMAKE_CURRENT_BINARY_DIR}/desktop-entry/${name}\")
    set(stormtap_destination \"${CMAKE_INSTALL_DATADIR}/applications\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/WriteDesktopEntry.cmake\")
  ")
endfunction()
