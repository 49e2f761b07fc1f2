# Installation (`make install`, honouring DESTDIR and the prefix) and the Debian package
# (`make package`): the three programs, their man pages, and the panel's desktop entry,
# AppStream metainfo and icons. The version is the one of project() (src/CMakeLists.txt hands it
# to the string table); --version prints it too.
include(GNUInstallDirs)

set(KESTREL_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(kestrel_programs)
foreach(program kestrel-panel kestrel-console kestrel-sim)
  if(TARGET ${program})
    list(APPEND kestrel_programs ${program})
  endif()
endforeach()
install(TARGETS ${kestrel_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Man pages carry the version and are installed compressed, as Debian keeps them.
set(man_pages)
foreach(program IN LISTS kestrel_programs)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
  configure_file(${KESTREL_PACKAGING}/man/${program}.1.in ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND gzip -9nf -k ${page}
    DEPENDS ${page}
    COMMENT "Compressing the man page of ${program}")
  list(APPEND man_pages ${page}.gz)
endforeach()
add_custom_target(kestrel_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET kestrel-panel)
  # The icons are drawn at build time by the panel's own artwork code.
  find_package(Qt6 REQUIRED COMPONENTS Svg)
  add_executable(render_icons ${KESTREL_PACKAGING}/render_icons.cpp)
  target_link_libraries(render_icons PRIVATE kestrel_skin Qt6::Svg)
  set(icon_theme ${CMAKE_CURRENT_BINARY_DIR}/icons/hicolor)
  set(icon_files ${icon_theme}/scalable/apps/kestrel-panel.svg)
  foreach(size 16 24 32 48 64 128 256 512)
    list(APPEND icon_files ${icon_theme}/${size}x${size}/apps/kestrel-panel.png)
  endforeach()
  add_custom_command(OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:render_icons>
            ${icon_theme}
    DEPENDS render_icons
    COMMENT "Drawing the application icons")
  add_custom_target(kestrel_icons ALL DEPENDS ${icon_files})
  install(DIRECTORY ${icon_theme} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES ${KESTREL_PACKAGING}/kestrel-panel.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KESTREL_PACKAGING}/kestrel-panel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/simulator.md
              ${PROJECT_SOURCE_DIR}/docs/skin.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrel-panel)

# The Debian package: dependencies on shared libraries come from the binaries (dpkg-shlibdeps);
# Qt's platform plugins and the panel's font are loaded at run time, so they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel-panel)
set(CPACK_PACKAGE_VENDOR "Kestrel Panel developers")
set(CPACK_PACKAGE_CONTACT "Kestrel Panel developers <kestrel-panel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "front panel of the Kestrel HF transceiver on a serial CAT line")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrel Panel is a remote-control panel for the Kestrel HF amateur-radio
transceiver. Its window is a full-size picture of the transceiver's front
panel whose keys, dials, knobs, digits, lamps and bar meters work and follow
the radio, which is joined to the computer by a serial cable and spoken to in
its CAT protocol. The package holds the panel (kestrel-panel), a headless
driver of the same engine for scripts (kestrel-console) and a simulated
transceiver (kestrel-sim).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
if(TARGET kestrel-panel)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2 | fonts-liberation")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
endif()
include(CPack)
