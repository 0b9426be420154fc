# Installation beyond the programs, and the Debian package.
#
# `cmake --install` puts the programs in bin/ and the help file in
# share/zelo-score/ (rules beside their targets); this file adds the manual
# pages, the desktop entry, the Cabrillo MIME type, the icon, the AppStream
# metadata and the licence, and sets up CPack so that `cpack -G DEB` in the build folder makes
# zelo-score_<version>_<arch>.deb.

set(zelo_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(zelo_metainfo org.example.zeloscore.zelocalc.metainfo.xml)

# Manual pages, gzipped as Debian keeps them (-n: no name or time stamp, so
# the package is the same on every build).
find_program(ZELO_GZIP gzip)
set(zelo_man_pages zelo-score.1)
if(ZELO_GUI)
  list(APPEND zelo_man_pages zelo-calc.1)
endif()
foreach(page IN LISTS zelo_man_pages)
  if(ZELO_GZIP)
    set(zipped ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${zipped}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
      COMMAND ${ZELO_GZIP} -9 -n -c ${zelo_packaging_dir}/${page} > ${zipped}
      DEPENDS ${zelo_packaging_dir}/${page}
      VERBATIM)
    list(APPEND zelo_zipped_pages ${zipped})
    install(FILES ${zipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${zelo_packaging_dir}/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
if(zelo_zipped_pages)
  add_custom_target(zelo_man_pages ALL DEPENDS ${zelo_zipped_pages})
endif()

if(ZELO_GUI)
  install(FILES ${zelo_packaging_dir}/zelo-calc.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # The package's shared-mime-info definition, under the package's name.
  install(FILES ${zelo_packaging_dir}/zelo-score-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME zelo-score.xml)
  install(FILES ${zelo_packaging_dir}/zelo-score.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${zelo_packaging_dir}/${zelo_metainfo}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelo-score RENAME copyright)
# The package's changelog, gzipped where Debian looks for it.
if(ZELO_GZIP)
  set(zelo_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
  add_custom_command(OUTPUT ${zelo_changelog}
    COMMAND ${ZELO_GZIP} -9 -n -c ${zelo_packaging_dir}/changelog > ${zelo_changelog}
    DEPENDS ${zelo_packaging_dir}/changelog
    VERBATIM)
  add_custom_target(zelo_changelog ALL DEPENDS ${zelo_changelog})
  install(FILES ${zelo_changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelo-score)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelo-score)

# The manual page must name exactly the options that --help lists; the two
# doctored pages show that the check notices an option left out and one
# made up.
if(BUILD_TESTING)
  set(zelo_check_man ${zelo_packaging_dir}/check_man_options.sh)
  add_test(NAME ManPage.ListsEveryHelpOption
           COMMAND sh ${zelo_check_man} $<TARGET_FILE:zelo-score> ${zelo_packaging_dir}/zelo-score.1)
  set(zelo_expect_failure ${zelo_packaging_dir}/expect_man_check_failure.sh)
  add_test(NAME ManPage.NoticesMissingOption
           COMMAND sh ${zelo_expect_failure} $<TARGET_FILE:zelo-score>
                   ${zelo_packaging_dir}/testdata/missing-option.1 "missing from .*: --explain -o$")
  add_test(NAME ManPage.NoticesUnknownOption
           COMMAND sh ${zelo_expect_failure} $<TARGET_FILE:zelo-score>
                   ${zelo_packaging_dir}/testdata/extra-option.1 "does not list: --colour$")
  # The Cabrillo MIME type is recognised, and the desktop entry opens it.
  if(ZELO_GUI)
    add_test(NAME MimeType.RecognisesCabrilloLogs
             COMMAND sh ${zelo_packaging_dir}/check_mime.sh ${zelo_packaging_dir}/zelo-score-mime.xml
                     ${zelo_packaging_dir}/zelo-calc.desktop)
  endif()
  # `cmake --install` into a scratch prefix puts every file in its place.
  set(zelo_gui_files "")
  if(ZELO_GUI)
    set(zelo_gui_files gui)
  endif()
  add_test(NAME Install.PutsEveryFileInPlace
           COMMAND sh ${zelo_packaging_dir}/check_install.sh ${CMAKE_BINARY_DIR} ${zelo_gui_files})
endif()

# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME zelo-score)
set(CPACK_PACKAGE_VENDOR "The ZELO Score developers")
set(CPACK_PACKAGE_CONTACT "ZELO Score developers <zelo-score@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "score calculator for the ZELO Razezuz amateur-radio contest")
set(CPACK_PACKAGE_DESCRIPTION
    "ZELO Score reads a Cabrillo contest log of the ZELO Razezuz and works
out the score: the contacts and multipliers of each band (160, 80, 40, 20,
15 and 10 m), the totals and the final score. zelo-calc shows the report in
a window, band by band, and saves it as a text file; zelo-score scores one
log or a results table of many from a terminal.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zelo-score.example.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# A stripped program also loses the compiler's .comment and .note sections,
# as Debian's own packages do (dh_strip).
set(zelo_programs zelo-score)
if(ZELO_GUI)
  list(APPEND zelo_programs zelo-calc)
endif()
foreach(program IN LISTS zelo_programs)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endforeach()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps works out the libraries the programs need (Qt 6, libstdc++).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window asks for Bitstream Vera Sans, which fontconfig finds as DejaVu.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
include(CPack)
