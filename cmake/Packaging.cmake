# A Debian package of whatever "cmake --install" puts in place: "cpack" in a build folder makes
# schotterfix_<version>_<architecture>.deb. The libraries it needs come from dpkg-shlibdeps.

# Whoever builds the package names themselves: -DSFX_PACKAGE_MAINTAINER="Name <address>", or
# DEBFULLNAME and DEBEMAIL in the environment of the first configuration, as for the Debian tools.
# Otherwise the field says plainly that nobody was named, with an address under the reserved
# domain .invalid that no mail can ever reach.
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
    set(sfx_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
    set(sfx_maintainer "Kein Paketverantwortlicher angegeben <niemand@schotterfix.invalid>")
endif()
set(SFX_PACKAGE_MAINTAINER "${sfx_maintainer}" CACHE STRING "Maintainer field of the Debian package")
if(SFX_PACKAGE_MAINTAINER MATCHES "\\.invalid>$")
    message(STATUS "Package maintainer not named: set -DSFX_PACKAGE_MAINTAINER=\"Name <address>\"")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME schotterfix)
set(CPACK_PACKAGE_VENDOR "Schotterfix Modellbahn-Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Gleisstücke zu Streckenlängen kombinieren / track pieces for a route length")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Schotterfix hilft beim Bau einer Modellbahn: Zu einer Streckenlänge in\n"
    "Millimetern und bis zu zehn Gleisarten findet es jede Kombination von\n"
    "Gleisstücken, deren Gesamtlänge innerhalb der gewählten Abweichung liegt.\n"
    "Die Ergebnisliste lässt sich sortieren, drucken, kopieren und als CSV-Datei\n"
    "exportieren; Gleistabellen werden in .sfr-Dateien gespeichert. Dazu kommt\n"
    "ein Tischrechner mit Papierstreifen und DM/Euro-Umrechnung.\n"
    "\n"
    "Schotterfix helps model-railway builders: given a route length in\n"
    "millimetres and up to ten kinds of straight track, it finds every\n"
    "combination of pieces whose total length lies within the chosen tolerance.\n"
    "The results can be sorted, printed, copied and exported as CSV; track\n"
    "tables are kept in .sfr files. The program speaks German.\n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SFX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by dpkg-shlibdeps: the toolkit loads its window-system plugin at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# German texts in the toolkit's own dialogs; the narrow face the windows were laid out for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
