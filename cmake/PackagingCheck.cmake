# Read by cpack before it packs: a Debian package of a build configured for
# another prefix would start a program that is not where its entries say.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR
    "The Debian package installs into /usr, but this build folder is configured for "
    "'${CPACK_PACKAGING_INSTALL_PREFIX}'. Configure it with -DCMAKE_INSTALL_PREFIX=/usr "
    "(see the README) and run cpack -G DEB again.")
endif()
