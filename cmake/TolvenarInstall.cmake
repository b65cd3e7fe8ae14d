# Installing programs and systemd units into the program folder layout:
# <prefix>/lib/tolvenar with links from <prefix>/bin.

find_package(PkgConfig QUIET)

# A package names systemd's folder itself (Debian 12: /lib/systemd/system).
set(TOLVENAR_SYSTEM_UNIT_DIR "" CACHE PATH
    "Folder of the installed systemd system units (empty: systemd's own under the prefix, else <prefix>/lib/systemd/system)")

# The program into the program folder, and a relative link to it from
# <prefix>/bin.
function(tolvenar_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION ${TOLVENAR_INSTALL_DIR})
    install(CODE "
        set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${_bin}\")
        file(CREATE_LINK \"../${TOLVENAR_INSTALL_DIR}/${target}\" \"\${_bin}/${target}\" SYMBOLIC)
    ")
endfunction()

# systemd units (KIND system or user) from templates in the calling folder; a
# template's name loses a trailing ".in". They may use @QUELMARO_PATH@,
# @REPORT_PATH@, @NOTIFY_PATH@ and @REPORT_FOLDER@. Filled in twice: for the
# build's own programs into <binary folder>/units, which the tests verify,
# and at install time for the installed programs, since only then is the
# prefix known. The units go into systemd's own folder when it lies under the
# prefix, else <prefix>/lib/systemd/KIND. Installing does not enable them.
function(tolvenar_units kind)
    set(QUELMARO_PATH ${TOLVENAR_BIN_DIR}/quelmaro)
    set(REPORT_PATH ${TOLVENAR_BIN_DIR}/tolvenar-report)
    set(NOTIFY_PATH ${TOLVENAR_BIN_DIR}/tolvenar-notify)
    set(REPORT_FOLDER ${TOLVENAR_BIN_DIR})
    set(fill "")
    foreach(template IN LISTS ARGN)
        string(REGEX REPLACE "\\.in$" "" name ${template})
        configure_file(${template} ${CMAKE_CURRENT_BINARY_DIR}/units/${name} @ONLY)
        string(APPEND fill "
        configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/${template}\"
                       \"${CMAKE_CURRENT_BINARY_DIR}/installed/${name}\" @ONLY)
        file(INSTALL \"${CMAKE_CURRENT_BINARY_DIR}/installed/${name}\" DESTINATION \"\${_units}\"
             PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)")
    endforeach()

    set(systemd "")
    if(PKG_CONFIG_FOUND)
        pkg_get_variable(systemd systemd systemd${kind}unitdir)
    endif()
    set(fixed "")
    if(kind STREQUAL "system")
        set(fixed "${TOLVENAR_SYSTEM_UNIT_DIR}")
    endif()
    install(CODE "
        set(_programs \"\${CMAKE_INSTALL_PREFIX}/${TOLVENAR_INSTALL_DIR}\")
        set(QUELMARO_PATH \"\${_programs}/quelmaro\")
        set(REPORT_PATH \"\${_programs}/tolvenar-report\")
        set(NOTIFY_PATH \"\${_programs}/tolvenar-notify\")
        set(REPORT_FOLDER \"${TOLVENAR_REPORT_FOLDER}\")
        if(NOT REPORT_FOLDER)
            set(REPORT_FOLDER \"\${_programs}\")
        endif()
        set(_units \"${fixed}\")
        if(NOT _units)
            set(_units \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/${kind}\")
            set(_systemd \"${systemd}\")
            string(LENGTH \"\${CMAKE_INSTALL_PREFIX}/\" _length)
            string(SUBSTRING \"\${_systemd}/\" 0 \${_length} _head)
            if(_systemd AND _head STREQUAL \"\${CMAKE_INSTALL_PREFIX}/\")
                set(_units \"\${_systemd}\")
            endif()
        endif()
        ${fill}
    ")
endfunction()
