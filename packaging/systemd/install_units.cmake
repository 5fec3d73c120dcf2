# SPDX-License-Identifier: MIT
# Run by `cmake --install` (and by cpack): CMAKE_INSTALL_PREFIX is then the prefix really
# installed to, which the build could not know. A function, so that no variable of it leaks
# into the rest of the install script (which compares with quoted words such as "program").
function(vistrel_install_watch_units source_dir stage_dir bindir)
    set(command_path "${CMAKE_INSTALL_PREFIX}/${bindir}/vistrel")
    # systemd reads backslashes, quotes and "%" in a command line; quoted and escaped, a prefix
    # with spaces or a "%" stays the one path. ":" turns off "$" substitution.
    string(REPLACE "\\" "\\\\" command_path "${command_path}")
    string(REPLACE "\"" "\\\"" command_path "${command_path}")
    string(REPLACE "%" "%%" command_path "${command_path}")
    set(VISTREL_WATCH_COMMAND "\":${command_path}\"")
    configure_file("${source_dir}/vistrel-watch@.service.in"
        "${stage_dir}/vistrel-watch@.service" @ONLY)
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/user" TYPE FILE
        FILES "${stage_dir}/vistrel-watch@.service"
              "${source_dir}/vistrel-watch@.timer")
endfunction()
