# make package: a Debian package of the install above, build/quelvane_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelvane)
set(CPACK_PACKAGE_VENDOR "The Quelvane Cadrelant Generator developers")
# The .invalid domain can never exist: the project has no mail address, and lintian wants one.
set(CPACK_PACKAGE_CONTACT "The Quelvane Cadrelant Generator developers <developers@quelvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "character generator for the Quelvane role-playing game")
set(CPACK_PACKAGE_DESCRIPTION
"The Quelvane Cadrelant Generator rolls a new player character, a Cadrelant,
by the rules of the tabletop role-playing game Quelvane: eight attributes and
the values derived from them, fifty skills, a service group, a mutant power, a
secret society and a coded name. It shows the character in three windows,
saves and loads it as a small .tbl text file and prints a one-page character
sheet.

quelvane-roll rolls characters without a window: as text, JSON, character
files or a PDF of their sheets.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not "games": lintian keeps that section for programs in /usr/games, and this is a tool beside
# a game, on the PATH of every user.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries come from dpkg-shlibdeps; the sheet's and windows' fonts do not, nor the
# print system's library, which is opened only when printing (Debian 13's libcups2t64
# provides libcups2).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libcups2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# cpack installs what `make package` has just built; it must not build the test suite first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)
