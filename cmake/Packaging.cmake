# The Debian package: `cpack -G DEB` in a build folder configured with
# -DCMAKE_INSTALL_PREFIX=/usr makes remindo_<version>_<arch>.deb from what
# `cmake --install` lays out (the program, remindo-data, their modules in
# <libdir>/remindo, the help page, the icon, the menu and autostart entries).
# The entries name the program by its configured path, so the package keeps
# that prefix, and only /usr is a package's place. The libraries it needs
# are found by dpkg-shlibdeps (package dpkg-dev); the few run-time helpers
# it calls are listed here.
set(CPACK_PACKAGE_NAME remindo)
set(CPACK_PACKAGE_VENDOR "Vendly")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tray reminder program with a Polish user interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Remindo lives in the notification area and reminds of birthdays, bills and\n\
anything that comes back every week, month or year: a small window slides up\n\
from the corner of the screen, coloured by how near the date is. It keeps a\n\
list of reminders with one-off and recurring dates, a calendar of any week,\n\
and a command-line look into the reminders (remindo-data).")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingCheck.cmake)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Remindo maintainers <remindo@vendly.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open shows the help page in the desktop's browser; the GStreamer base
# plugins decode the reminder chime for Qt Multimedia's backend.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-pulseaudio | gstreamer1.0-alsa")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vendly.invalid/remindo")

# The autostart entry under /etc is the administrator's to edit or empty:
# a conffile, kept over upgrades.
if(REMINDO_AUTOSTART_DIR MATCHES "^/etc/")
  file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "${REMINDO_AUTOSTART_DIR}/${REMINDO_APP_ID}.desktop\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
endif()

include(CPack)
