# Installs veltrix-status.service with its ExecStart pointing at the installed
# program: the unit in dist/ names /usr/local/bin, a package installs to /usr/bin.
# Run at install time (install(SCRIPT)), when CMAKE_INSTALL_PREFIX is the one in force;
# VELTRIX_STATUS_UNIT is the unit, VELTRIX_STATUS_UNIT_WORK a folder of the build.
file(READ "${VELTRIX_STATUS_UNIT}" _unit)
string(REPLACE "/usr/local/bin/veltrix-status" "${CMAKE_INSTALL_PREFIX}/bin/veltrix-status"
       _unit "${_unit}")
file(WRITE "${VELTRIX_STATUS_UNIT_WORK}/veltrix-status.service" "${_unit}")
file(INSTALL "${VELTRIX_STATUS_UNIT_WORK}/veltrix-status.service"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/system"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
