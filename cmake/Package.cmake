# The Debian package, made by CPack from the install rules (cmake/Install.cmake):
#   tools/dev package         or, in a configured build folder:  cpack -G DEB
# gives zerno-bros_<version>_<arch>.deb with the dependencies dpkg-shlibdeps finds in the
# programs (Qt 6, SDL2, libjpeg-turbo ...).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerno-bros)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zerno Bros. Simulator team")
set(CPACK_PACKAGE_CONTACT "The Zerno Bros. Simulator team <team@zerno-bros.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-screen clamshell LCD handheld game")
set(CPACK_PACKAGE_DESCRIPTION
    "Zerno Bros. (Korvista) Simulator is a desktop simulator of a two-screen
clamshell LCD handheld game. Two workers, Folko on the left and Zerno on the
right, take parcels off the ends of a stack of conveyor belts, hand them up
from belt to belt and finally onto a truck. Game A and Game B, misses, chance
time and double score, the truck's break, the game-over animation and the
clock all behave as on the handheld, segment by segment.

The package also holds zerno-sim, which runs the device from a script on a
virtual clock, for bug reports and automation.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zerno-bros.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL2 is opened by name when PLAY starts the sound (src/sound), so dpkg-shlibdeps cannot see it
# in the programs; the rest of Depends is what it finds.
# The windows are laid out for Liberation Sans: with another font their texts run together. The
# message boxes and menus take the desktop's own sans-serif, which fontconfig finds in DejaVu Sans:
# with the Liberation fonts alone it would pick Liberation Mono.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, fonts-liberation2, fonts-dejavu-core")
# F2, F3, F4 and the launcher's links open their files and addresses with xdg-open; on a Wayland
# desktop without X11 the windows need Qt's Wayland platform.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped programs, root-owned files with Debian's usual modes.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Only what the install rules name: no source package, no build folder.
set(CPACK_SOURCE_GENERATOR "")

# The same build packs into the same bytes: every time in the package is the change log's date,
# as SOURCE_DATE_EPOCH asks of a reproducible build (one set by the caller wins).
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/packaging/changelog")
find_program(ZERNO_DPKG_PARSECHANGELOG dpkg-parsechangelog)
set(zerno_release_time "")
if(ZERNO_DPKG_PARSECHANGELOG)
    execute_process(COMMAND ${ZERNO_DPKG_PARSECHANGELOG} -l "${CMAKE_SOURCE_DIR}/packaging/changelog" -S Timestamp
                    OUTPUT_VARIABLE zerno_release_time OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed OR NOT zerno_release_time MATCHES "^[0-9]+$")
        message(FATAL_ERROR "packaging/changelog has no date dpkg-parsechangelog can read: ${zerno_release_time}")
    endif()
else()
    message(STATUS "dpkg-parsechangelog not found (dpkg-dev): the package's times are those of the build")
endif()
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/CPackReleaseTime.cmake")
file(CONFIGURE OUTPUT "${CPACK_PROJECT_CONFIG_FILE}" CONTENT [=[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "@zerno_release_time@" STREQUAL "")
    set(ENV{SOURCE_DATE_EPOCH} @zerno_release_time@)
endif()
]=] @ONLY)
include(CPack)
