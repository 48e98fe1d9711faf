# SPDX-License-Identifier: MIT
# The Debian packages, one for each program: cpack -G DEB (or make package) makes
#   tevr-flash       the flasher for a terminal, without Qt, for benches and production lines
#   tevr-loader      the window
#   tevr-loader-sim  bk-sim, the boot-loader simulator for training benches and tests
# The contact and the AppStream id are the project's own names; the homepage is project()'s.
set(TEVR_MAINTAINER "tevr-loader developers <tevr-loader@example.org>")
set(TEVR_APPSTREAM_ID org.example.tevr_loader)
set(TEVR_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# Counts the packagings of one upstream version; goes back to 1 with a new project version.
set(TEVR_DEBIAN_REVISION 1)

add_subdirectory(packaging)

set(CPACK_PACKAGE_NAME tevr-loader)
set(CPACK_PACKAGE_VENDOR "tevr-loader developers")
set(CPACK_PACKAGE_CONTACT ${TEVR_MAINTAINER})
# Each package's description begins with its own synopsis; a common summary would be put in
# front of it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tevr-loader)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL flash sim)
if(TEVR_GUI)
    list(APPEND CPACK_COMPONENTS_ALL loader)
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TEVR_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SOURCE tevr-loader)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FLASH_PACKAGE_NAME tevr-flash)
set(CPACK_DEBIAN_FLASH_DESCRIPTION
    "firmware loader for the TEVR-R7 on-board computer, for a terminal
tevr-flash loads new firmware into the TEVR-R7 on-board computer through its
serial boot loader at 10400 bit/s, on a half-duplex line where every byte comes
back as echo. It converts an Intel HEX update file into page and block
commands, sends them block by block, checks the checksum the device returns
for every block and ends with the end command; a stalled device ends it after
a time-out, always with a plain message and an exit status.

It also prints the transfer script of a file, lists the serial ports and checks
a memory image against an update file. It needs no desktop, for bench PCs and
production lines: it flashes several boards at once, one on each port, or board
after board as a station, and keeps a journal of every update.")
set(CPACK_DEBIAN_FLASH_PACKAGE_SUGGESTS tevr-loader-sim)

set(CPACK_DEBIAN_LOADER_PACKAGE_NAME tevr-loader)
set(CPACK_DEBIAN_LOADER_DESCRIPTION
    "firmware loader for the TEVR-R7 on-board computer, desktop window
tevr-loader is the window that loads new firmware into the TEVR-R7 on-board
computer through its serial boot loader: pick the update file (Intel HEX),
choose the serial port and switch the start button on. An LED shows that the
device answers, a gauge shows the blocks sent, and every block is checked
against the checksum the device returns.

The same transfer for a terminal is in the package tevr-flash.")
# The window is laid out for the metrics of DejaVu Sans, which has its Cyrillic captions.
set(CPACK_DEBIAN_LOADER_PACKAGE_RECOMMENDS fonts-dejavu-core)
set(CPACK_DEBIAN_LOADER_PACKAGE_SUGGESTS "tevr-flash, tevr-loader-sim")

set(CPACK_DEBIAN_SIM_PACKAGE_NAME tevr-loader-sim)
set(CPACK_DEBIAN_SIM_DESCRIPTION
    "simulator of the TEVR-R7 on-board computer's boot loader
bk-sim plays the serial boot loader of the TEVR-R7 on-board computer on a
pseudo-terminal, so that tevr-loader and tevr-flash can be tried, trained on
and tested without a device. It greets, echoes, acknowledges and answers as
the device does, keeps the firmware it receives in a memory image that it can
save, and can be told to fail: wrong checksums, lost echo, split or merged
answers, silence or a hang-up after a given block.")

include(CPack)

# The checks of the packages run in the build that is packaged, with the window in it.
if(TEVR_TESTS AND TEVR_HARDENING AND TEVR_GUI)
    add_subdirectory(tests/packaging)
endif()

# The page (make web), with the window's package, when it has been built: a package built
# without it lacks only the page.
set(TEVR_WEB_SITE ${PROJECT_SOURCE_DIR}/build-wasm/site CACHE PATH "The page's folder (make web)")
if(TEVR_GUI)
    install(DIRECTORY ${TEVR_WEB_SITE}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tevr-loader/web
            COMPONENT loader OPTIONAL)
endif()
