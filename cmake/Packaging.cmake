# The release side of the build: the version both programs print, the window
# icon, manual pages, what gets installed, and the Debian package that
# scripts/package makes with CPack. Included at the end of the top-level
# CMakeLists.txt, once the qz7cont and qz7sim targets exist.

include(GNUInstallDirs)

# The version has one home, the project() line; both programs print it.
set(QZ7_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/qz7_version.h.in ${QZ7_GENERATED_DIR}/qz7_version.h @ONLY)
target_include_directories(qz7cont PRIVATE ${QZ7_GENERATED_DIR})
target_include_directories(qz7sim PRIVATE ${QZ7_GENERATED_DIR})
target_include_directories(qz7rack PRIVATE ${QZ7_GENERATED_DIR})

# The window icon lives in the executable (see Application's constructor).
qt_add_resources(QZ7_ICON_RESOURCES ${PROJECT_SOURCE_DIR}/src/app/icons.qrc)
target_sources(qz7cont PRIVATE ${QZ7_ICON_RESOURCES})

# The Debian changelog: its newest entry must name this very version, or the
# package would contradict itself.
set(QZ7_DEBIAN_RELEASE 1)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog QZ7_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT QZ7_CHANGELOG_HEAD MATCHES "^qz7cont \\(${PROJECT_VERSION}-${QZ7_DEBIAN_RELEASE}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${QZ7_CHANGELOG_HEAD}', "
                      "but the package is ${PROJECT_VERSION}-${QZ7_DEBIAN_RELEASE}: add an entry for it")
endif()

set(QZ7_DOC_BUILD_DIR ${PROJECT_BINARY_DIR}/doc)
add_custom_command(
  OUTPUT ${QZ7_DOC_BUILD_DIR}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QZ7_DOC_BUILD_DIR}
  # -n keeps name and time stamp out of the archive, so builds are reproducible.
  COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/packaging/changelog
          ${QZ7_DOC_BUILD_DIR}/changelog.Debian.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
set(QZ7_DOC_OUTPUTS ${QZ7_DOC_BUILD_DIR}/changelog.Debian.gz)

# Manual pages come from the programs' own --help and --version, so they follow
# every change of an option. They are made without a display, as a user on a
# console would read them.
find_program(QZ7_HELP2MAN help2man)
if(QZ7_HELP2MAN)
  set(QZ7_NAME_qz7cont "remote-control panel for HD video disk recorders")
  set(QZ7_NAME_qz7sim "simulated HD video disk recorder for training and testing")
  set(QZ7_NAME_qz7rack "runs the HD video disk recorders of a machine room, remote-controlled over OSC")
  set(QZ7_COMPONENT_qz7cont panel)
  set(QZ7_COMPONENT_qz7sim panel)
  set(QZ7_COMPONENT_qz7rack rack)
  foreach(program qz7cont qz7sim qz7rack)
    set(page ${QZ7_DOC_BUILD_DIR}/${program}.1)
    set(include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QZ7_DOC_BUILD_DIR}
      COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
              ${QZ7_HELP2MAN} --no-info --section=1 --name=${QZ7_NAME_${program}} --include=${include}
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${page}
      DEPENDS ${program} ${include}
      VERBATIM)
    list(APPEND QZ7_DOC_OUTPUTS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${QZ7_COMPONENT_${program}})
  endforeach()
else()
  message(STATUS "help2man not found: no manual pages (scripts/package installs it)")
endif()
add_custom_target(qz7docs ALL DEPENDS ${QZ7_DOC_OUTPUTS})

# What an installation holds besides the two programs and the desktop entry.
set(QZ7_ICON_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES packaging/icons/qz7cont.svg DESTINATION ${QZ7_ICON_DIR}/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES packaging/icons/${size}x${size}/qz7cont.png DESTINATION ${QZ7_ICON_DIR}/${size}x${size}/apps)
endforeach()
install(FILES packaging/io.github.qz7cont.QZ7Cont.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/copyright ${QZ7_DOC_BUILD_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qz7cont)

# The rack service: its unit (inert until /etc/qz7cont/rack.conf exists), an
# example configuration, and its own copyright and changelog.
install(FILES packaging/rack/qz7rack.service DESTINATION /lib/systemd/system COMPONENT rack)
install(FILES packaging/rack/rack.conf DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qz7rack/examples COMPONENT rack)
install(FILES packaging/copyright ${QZ7_DOC_BUILD_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qz7rack COMPONENT rack)

# The Debian package: scripts/package runs cpack in the release build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qz7cont)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QZ7Cont maintainers <maintainers@users.noreply.c-seed-abfcae5b.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Each package's first line is its summary. No CPACK_PACKAGE_DESCRIPTION_SUMMARY:
# CPack would put that one summary above both packages' descriptions.
set(CPACK_DEBIAN_PANEL_DESCRIPTION "remote-control panel for HD video disk recorders
QZ7Cont drives one or two network-attached HD video disk recorders over UDP
from the desktop: the transport (play, record, jog, slow motion), the status
and timecode, the recorder's settings pages, and its lists of recorded
files, clips, cue marks and sequences.
.
The package also holds qz7sim, a simulated recorder on the local machine for
training and testing.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QZ7_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The text-to-integer error is Japanese and the timecode fields are parted by
# full-width colons; without a font that has them they show as empty boxes.
set(CPACK_DEBIAN_PANEL_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-japanese-gothic")
# One package per component: qz7cont (panel and simulator), qz7rack (the service,
# no Qt GUI library among its dependencies). qz7sim is in qz7cont only, so the
# two install side by side.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL panel rack)
set(CPACK_DEBIAN_PANEL_PACKAGE_NAME qz7cont)
set(CPACK_DEBIAN_RACK_PACKAGE_NAME qz7rack)
set(CPACK_DEBIAN_RACK_DESCRIPTION "service driving the HD video disk recorders of a machine room
qz7rack runs every recorder pair of a machine room from one process without
windows, each deck polling on its own schedule, remote-controlled over OSC
(one address per deck, patterns for several decks at once). A systemd unit
starts it once /etc/qz7cont/rack.conf exists; SIGHUP (systemctl reload)
applies configuration changes without disturbing the decks left as they were.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
