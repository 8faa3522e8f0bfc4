# What cmake --install and cpack -G DEB add beside the executables: the manual
# pages (gzipped), the README, the copyright file and the changelog, and the
# Debian package's description. tools/build-deb.sh is the one command that
# makes, unpacks and lints the package.

set(KIV_MAN_PAGES kivhelp kivpack kivdump)
# The package's maintainer, also named in the changelog.
set(KIV_MAINTAINER "KivHelp developers <kivhelp@example.org>")
set(KIV_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kivhelp)
set(KIV_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/doc)
find_program(KIV_GZIP gzip REQUIRED)

# Manual pages carry the project's version in their header line. They are
# gzipped with -9n (best, no name or time stamp), as Debian wants them.
set(kiv_doc_files)
foreach(page IN LISTS KIV_MAN_PAGES)
  configure_file(${CMAKE_SOURCE_DIR}/doc/man/${page}.1 ${KIV_DOC_BUILD_DIR}/man/${page}.1 @ONLY)
  list(APPEND kiv_doc_files ${KIV_DOC_BUILD_DIR}/man/${page}.1)
  install(FILES ${KIV_DOC_BUILD_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/doc/changelog ${KIV_DOC_BUILD_DIR}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/README.md ${KIV_DOC_BUILD_DIR}/README.md COPYONLY)
list(APPEND kiv_doc_files ${KIV_DOC_BUILD_DIR}/changelog ${KIV_DOC_BUILD_DIR}/README.md)
set(kiv_gzipped)
foreach(file IN LISTS kiv_doc_files)
  add_custom_command(OUTPUT ${file}.gz
                     COMMAND ${KIV_GZIP} -9nkf ${file}
                     DEPENDS ${file}
                     VERBATIM)
  list(APPEND kiv_gzipped ${file}.gz)
endforeach()
add_custom_target(kiv_docs ALL DEPENDS ${kiv_gzipped})
install(FILES ${KIV_DOC_BUILD_DIR}/README.md.gz ${KIV_DOC_BUILD_DIR}/changelog.gz
              ${CMAKE_SOURCE_DIR}/doc/copyright
        DESTINATION ${KIV_DOC_DIR})

# The Debian package. Its version is worked out again when cpack runs
# (cmake/kiv_package_version.cmake), so a tree changed since configuring
# still shows in it.
set(CPACK_PACKAGE_NAME kivhelp)
set(CPACK_PACKAGE_VENDOR "The KivHelp developers")
set(CPACK_PACKAGE_CONTACT "${KIV_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "help viewer for host applications, with its packer")
set(CPACK_PACKAGE_DESCRIPTION
    "KivHelp is a help viewer that a host application starts on a page of its\n\
help package (kivmap.hpm, kept beside the viewer). It renders the HTML\n\
pages with its own engine and lets the user follow links, go back and\n\
forward, search, change the font size, print and copy. A second start\n\
hands its request to the running window.\n\
.\n\
The package also holds kivpack, which packs a folder of pages and pictures\n\
into a help package and inspects one, and kivdump, which shows what the\n\
engine makes of a page without a window.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION doc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries the binaries link: the fonts the pages' Times New Roman
# and Courier New resolve to, and the toolkit's Wayland platform plugin (the X
# one comes with the toolkit's GUI library).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fontconfig, qt6-wayland")
set(CPACK_KIV_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/kiv_package_version.cmake)
include(CPack)
