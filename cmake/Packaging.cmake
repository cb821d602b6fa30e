# Installation of the programs with their desktop integration, and three Debian
# packages made from it by CPack ("cpack" in the build folder, or scripts/package.sh),
# one per install component:
#   veltrix (gui)          bin/veltrix, bin/pellow (and the links bin/Veltrix, bin/Pellow
#                          that earlier releases' menu entries and scripts name),
#                          share/applications/ (desktop entry),
#                          share/metainfo/ (AppStream), share/icons/hicolor/ (the icon as
#                          SVG and as PNG of 16 to 256 pixels, drawn from it),
#                          share/doc/veltrix/user-guide.md with its pictures (the
#                          menu's Help opens it, found from the program's folder)
#   veltrix-status         bin/veltrix-status, its systemd units, alert rules and schema
#   (status)               (installed by src/status)
#   veltrix-servicesim     bin/veltrix-servicesim and its scenarios (tools/servicesim)
#   (servicesim)
# Each holds the manual pages of its programs (share/man/man1/, help2man from --help
# with the sections of dist/man/<name>.h2m) and its own share/doc/<package>/ with
# README (dist/doc/README.<package>), copyright (machine-readable) and
# changelog.Debian.gz. Without the GUI (VELTRIX_BUILD_GUI=OFF) only the last two.
include(GNUInstallDirs)

find_program(VELTRIX_HELP2MAN help2man REQUIRED)
find_program(VELTRIX_GZIP gzip REQUIRED)
if(VELTRIX_BUILD_GUI)
    find_program(VELTRIX_RSVG_CONVERT rsvg-convert REQUIRED)
endif()

set(VELTRIX_APP_ID com.kavotronik.Veltrix)
set(VELTRIX_PACKAGE_MAINTAINER "Kavotronik Veltrix maintainers <veltrix@kavotronik.example>"
    CACHE STRING "Maintainer field of the Debian package and its changelog")
# Release 2: veltrix-status and veltrix-servicesim left the veltrix package (release 1
# held all four programs) for packages of their own, which take their files over.
set(VELTRIX_DEB_RELEASE 2)
set(VELTRIX_DEB_VERSION "${PROJECT_VERSION}-${VELTRIX_DEB_RELEASE}")
# The day of the build (SOURCE_DATE_EPOCH when set), for the changelog and the metainfo.
string(TIMESTAMP VELTRIX_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP VELTRIX_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)

# Where the user guide's pictures (docs/pictures) are published, for the metainfo's
# screenshots that software centres show.
set(VELTRIX_SCREENSHOT_BASE_URL "https://veltrix.kavotronik.example/docs/pictures"
    CACHE STRING "Web folder that holds the published copies of docs/pictures")

set(_dist ${PROJECT_SOURCE_DIR}/dist)
set(_out ${PROJECT_BINARY_DIR}/package-files)
set(_generated)

if(VELTRIX_BUILD_GUI)
    # The commands are lower-case, as they are typed; the build's programs keep their
    # names, and the installed capitalised names are links to the commands. A link left
    # by an earlier installation goes first, so that nothing is written through it.
    set(_links "Veltrix;veltrix;Pellow;pellow")
    install(CODE "set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
                  foreach(_name Veltrix Pellow)
                      if(IS_SYMLINK \"\${_bin}/\${_name}\")
                          file(REMOVE \"\${_bin}/\${_name}\")
                      endif()
                  endforeach()" COMPONENT gui)
    install(TARGETS Veltrix Pellow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gui)
    install(CODE "set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
                  set(_links \"${_links}\")
                  while(_links)
                      list(POP_FRONT _links _name _command)
                      file(RENAME \"\${_bin}/\${_name}\" \"\${_bin}/\${_command}\")
                      file(CREATE_LINK \${_command} \"\${_bin}/\${_name}\" SYMBOLIC)
                  endwhile()" COMPONENT gui)

    # Desktop entry and AppStream metainfo.
    configure_file(${_dist}/desktop/${VELTRIX_APP_ID}.metainfo.xml.in
                   ${_out}/${VELTRIX_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${_dist}/desktop/${VELTRIX_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
    install(FILES ${_out}/${VELTRIX_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT gui)

    # The user guide beside the package's README, with the pictures it shows.
    install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veltrix COMPONENT gui)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/pictures
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veltrix COMPONENT gui)

    # Icons: the SVG, and PNG files drawn from it.
    set(_svg ${_dist}/desktop/${VELTRIX_APP_ID}.svg)
    install(FILES ${_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            COMPONENT gui)
    foreach(_size 16 22 24 32 48 64 128 256)
        set(_png ${_out}/icons/${_size}/${VELTRIX_APP_ID}.png)
        add_custom_command(OUTPUT ${_png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}/icons/${_size}
            COMMAND ${VELTRIX_RSVG_CONVERT} --width ${_size} --height ${_size} --output ${_png}
                    ${_svg}
            DEPENDS ${_svg}
            COMMENT "Drawing the ${_size} pixel icon"
            VERBATIM)
        list(APPEND _generated ${_png})
        install(FILES ${_png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
                COMPONENT gui)
    endforeach()
endif()

# Manual pages, compressed as Debian wants them (gzip -9, no name or time inside).
set(_man ${_out}/man)
# Further arguments: help2man include files with sections of their own.
function(veltrix_help2man target name component description)
    set(_includes --include=${_dist}/man/${name}.h2m)
    foreach(_include IN LISTS ARGN)
        list(APPEND _includes --include=${_include})
    endforeach()
    add_custom_command(OUTPUT ${_man}/${name}.1.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_man}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
                ${VELTRIX_HELP2MAN} --no-info --section=1 --name=${description}
                "--version-string=${name} ${PROJECT_VERSION}" ${_includes}
                --output=${_man}/${name}.1 $<TARGET_FILE:${target}>
        COMMAND ${VELTRIX_GZIP} -9nf ${_man}/${name}.1
        DEPENDS ${target} ${_dist}/man/${name}.h2m ${ARGN}
        COMMENT "Writing the manual page of ${name}"
        VERBATIM)
    set(_generated ${_generated} ${_man}/${name}.1.gz PARENT_SCOPE)
    install(FILES ${_man}/${name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
            COMPONENT ${component})
endfunction()
veltrix_help2man(veltrix-status veltrix-status status
                 "read the RAID controllers' status once, for scripts and monitoring"
                 ${_dist}/man/remote-hosts.h2m)
veltrix_help2man(veltrix-servicesim veltrix-servicesim servicesim
                 "simulated RAID monitoring service, for demonstrations")
if(VELTRIX_BUILD_GUI)
    veltrix_help2man(Veltrix veltrix gui
                     "status client for the RAID controllers' monitoring service"
                     ${_dist}/man/remote-hosts.h2m)
    # Pellow's page is written: its --help says little beyond what it always does.
    configure_file(${_dist}/man/pellow.1.in ${_man}/pellow.1 @ONLY)
    add_custom_command(OUTPUT ${_man}/pellow.1.gz
        COMMAND ${VELTRIX_GZIP} -9nkf ${_man}/pellow.1
        DEPENDS ${_man}/pellow.1
        VERBATIM)
    list(APPEND _generated ${_man}/pellow.1.gz)
    install(FILES ${_man}/pellow.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT gui)
    # "man Veltrix" and "man Pellow" as before: links to the pages (installed as links).
    foreach(_name Veltrix Pellow)
        string(TOLOWER ${_name} _command)
        file(CREATE_LINK ${_command}.1.gz ${_man}/${_name}.1.gz SYMBOLIC)
        install(FILES ${_man}/${_name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
                COMPONENT gui)
    endforeach()
endif()

# The packages, as pairs of install component and package name (VELTRIX_PACKAGES, the
# names, is for the package tests), and each one's summary and description.
set(_packages status veltrix-status servicesim veltrix-servicesim)
if(VELTRIX_BUILD_GUI)
    list(PREPEND _packages gui veltrix)
endif()
set(CPACK_DEBIAN_GUI_DESCRIPTION "status client for RAID controllers (Qt desktop program)
Veltrix connects to the monitoring service of the RAID controllers, on this
machine or on another host, and shows controllers, drives, RAID sets and
rebuilds. It polls the service every 5 seconds and turns controller events into
an event log, popups and notification-area balloons. Through the service it
configures e-mail alerts, the host log file and the service password, sets
rebuild priorities and updates a controller's BIOS.

The package also holds the setup launcher Pellow. The status for scripts and
monitoring systems is in veltrix-status, the simulated service for
demonstrations in veltrix-servicesim.")
set(CPACK_DEBIAN_STATUS_DESCRIPTION "RAID controller status for scripts and monitoring systems
veltrix-status reads the status of the RAID controllers once from their
monitoring service, on this machine or on another host, and writes it as a
text table, JSON, a Nagios check result or Prometheus metrics. It needs no
desktop: of Qt it uses only Qt Core.

With systemd units that write the metrics for node exporter's textfile
collector, Prometheus alert rules (neither enabled) and the JSON Schema of its
document.")
set(CPACK_DEBIAN_SERVICESIM_DESCRIPTION "simulated RAID monitoring service, for demonstrations
veltrix-servicesim answers as the RAID controllers' monitoring service would,
playing a scenario of controllers, drives, RAID sets, rebuilds and events, so
that Veltrix and veltrix-status can be shown and tried without the hardware.
The package holds the default scenario.")

# Each package's copyright and Debian changelog, one changelog for all three: it names
# their source package, veltrix.
configure_file(${_dist}/debian/changelog.in ${_out}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${_out}/changelog.Debian.gz
    COMMAND ${VELTRIX_GZIP} -9nkf ${_out}/changelog.Debian
    DEPENDS ${_out}/changelog.Debian
    VERBATIM)
list(APPEND _generated ${_out}/changelog.Debian.gz)

set(CPACK_COMPONENTS_ALL)
set(VELTRIX_PACKAGES)
while(_packages)
    list(POP_FRONT _packages _component _name)
    string(TOUPPER ${_component} _var)
    install(FILES ${_dist}/debian/copyright ${_out}/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_name} COMPONENT ${_component})
    install(FILES ${_dist}/doc/README.${_name} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_name}
            RENAME README COMPONENT ${_component})
    list(APPEND CPACK_COMPONENTS_ALL ${_component})
    list(APPEND VELTRIX_PACKAGES ${_name})
    set(CPACK_DEBIAN_${_var}_PACKAGE_NAME ${_name})
    # The source package the changelog names.
    set(CPACK_DEBIAN_${_var}_PACKAGE_SOURCE veltrix)
    # Dependencies as dpkg-shlibdeps finds them in the package's own programs.
    set(CPACK_DEBIAN_${_var}_PACKAGE_SHLIBDEPS ON)
endwhile()

add_custom_target(veltrix_package_files ALL DEPENDS ${_generated})

# Qt's translations only make Qt's own texts German (standard buttons, file dialogs),
# so the desktop program recommends them. QtKeychain reaches the Secret Service keyring
# through libsecret, which it loads only when it is there (dpkg-shlibdeps does not see it).
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "qt6-translations-l10n, libsecret-1-0")
# The timer writes node exporter's textfile folder; without it a run is skipped.
# secret-tool reads the desktop keyring's password into a file for a timer or SSH.
set(CPACK_DEBIAN_STATUS_PACKAGE_SUGGESTS "prometheus-node-exporter, libsecret-tools")
# Maintainer scripts as dh_installsystemd writes them for a unit not enabled by default:
# a purge removes the timer's enablement, and with the state folder the metrics file.
set(CPACK_DEBIAN_STATUS_PACKAGE_CONTROL_EXTRA
    ${_dist}/debian/veltrix-status/postinst ${_dist}/debian/veltrix-status/prerm
    ${_dist}/debian/veltrix-status/postrm)
# An upgrade from the one package of release 1 hands its programs over.
foreach(_var STATUS SERVICESIM)
    set(CPACK_DEBIAN_${_var}_PACKAGE_BREAKS "veltrix (<< ${PROJECT_VERSION}-2)")
    set(CPACK_DEBIAN_${_var}_PACKAGE_REPLACES "veltrix (<< ${PROJECT_VERSION}-2)")
endforeach()
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_NAME veltrix)
set(CPACK_PACKAGE_VENDOR Kavotronik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VELTRIX_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELTRIX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
