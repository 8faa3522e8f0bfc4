# Read by cpack before it builds the package: the package's version is the
# tree's as it is now (with the commit and ".dirty", see kiv_version.cmake),
# and the file name follows it (kivhelp_VERSION_ARCH.deb).
include(${CPACK_KIV_SOURCE_DIR}/cmake/kiv_version.cmake)
kiv_compute_version(${CPACK_KIV_SOURCE_DIR} ${CPACK_PACKAGE_VERSION_MAJOR}.${CPACK_PACKAGE_VERSION_MINOR}
                    kiv_package_version)
set(CPACK_PACKAGE_VERSION ${kiv_package_version})
set(CPACK_DEBIAN_PACKAGE_VERSION ${kiv_package_version})
