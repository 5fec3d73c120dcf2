# SPDX-License-Identifier: MIT
# Where `cmake --install` puts things. The program folder becomes lib/vistrel/ (program,
# Plugin/medora.so, Plugin/medora/template.html); bin/vistrel links to the program. Installed
# there the folder is not the user's to write, so the program keeps its files in the user's
# own folders (platform/user_folders.h). The build folder's layout (build/bin/) is untouched.
include(GNUInstallDirs)
set(VISTREL_INSTALL_PROGRAM_DIR lib/vistrel)
set(VISTREL_INSTALL_PLUGIN_DIR ${VISTREL_INSTALL_PROGRAM_DIR}/Plugin)
# What a plain `cmake --install` and the package hold; the sample listing site is the separate
# component "listing-site".
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)
# Folders made by the install are 0755 whatever the umask, as a package's must be.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
