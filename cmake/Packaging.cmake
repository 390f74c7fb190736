# Installing and packaging. The program keeps its files beside its executable (the help
# file, the settings file), so it installs as one folder, in the place of a program's own
# files:
#   component program:  usr/lib/quorvin/quorvin, usr/lib/quorvin/quorvin.chm
#   component desktop:  usr/bin/quorvin (a link into the folder), the desktop entry,
#                       the icons, the AppStream metadata, the manual page, the copyright
#                       file and the changelog under usr/share
#   component portable: the same folder with a note on running it, for the archive
# `cmake --install` puts program and desktop under the prefix, which is / by default,
# the layout of the .deb; `cpack` makes the .deb and the portable .tar.gz.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX / CACHE PATH "Install prefix" FORCE)
endif()

# The maker's web page is kept in one place, with the program's other maker details.
file(STRINGS ${PROJECT_SOURCE_DIR}/core/MakerDetails.h web_address_line
     REGEX "WebAddress = \"[^\"]+\"")
string(REGEX REPLACE ".*WebAddress = \"([^\"]+)\".*" "\\1" QUORVIN_HOMEPAGE
                     "${web_address_line}")
# The release date of the metadata: the day of SOURCE_DATE_EPOCH (the last commit's).
string(TIMESTAMP QUORVIN_RELEASE_DATE "%Y-%m-%d" UTC)

include(${CMAKE_CURRENT_LIST_DIR}/WindowsResource.cmake)

set(QUORVIN_APP_ID org.example.Quorvin)
set(QUORVIN_METAINFO_FILE ${PROJECT_BINARY_DIR}/dist/${QUORVIN_APP_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/dist/${QUORVIN_APP_ID}.metainfo.xml.in
               ${QUORVIN_METAINFO_FILE} @ONLY)
set(QUORVIN_DESKTOP_FILE ${PROJECT_SOURCE_DIR}/dist/quorvin.desktop)
configure_file(${PROJECT_SOURCE_DIR}/dist/README.txt.in ${PROJECT_BINARY_DIR}/dist/README.txt
               @ONLY)

# The program folder.
set(program_dir usr/lib/quorvin)
install(TARGETS quorvin RUNTIME DESTINATION ${program_dir} COMPONENT program)
install(FILES ${QUORVIN_HELP_FILE} DESTINATION ${program_dir} COMPONENT program)

# The command on the search path: a relative link, right under any prefix.
file(RELATIVE_PATH link_target /usr/bin /${program_dir}/quorvin)
file(CREATE_LINK ${link_target} ${PROJECT_BINARY_DIR}/dist/quorvin SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/dist/quorvin DESTINATION usr/bin COMPONENT desktop)
install(FILES ${QUORVIN_DESKTOP_FILE} DESTINATION usr/share/applications COMPONENT desktop)
install(FILES ${PROJECT_SOURCE_DIR}/resources/quorvin.png
        DESTINATION usr/share/icons/hicolor/32x32/apps COMPONENT desktop)
install(FILES ${PROJECT_SOURCE_DIR}/resources/quorvin.svg
        DESTINATION usr/share/icons/hicolor/scalable/apps COMPONENT desktop)
install(FILES ${QUORVIN_METAINFO_FILE} DESTINATION usr/share/metainfo COMPONENT desktop)

# The manual page and the changelog, compressed as Debian keeps them: no name or time in
# the gzip header, so that two builds give the same files.
find_program(QUORVIN_GZIP gzip REQUIRED)
set(debian_dir ${PROJECT_SOURCE_DIR}/dist/debian)
set(QUORVIN_MANUAL_PAGE ${PROJECT_BINARY_DIR}/dist/quorvin.1.gz)
set(QUORVIN_CHANGELOG ${PROJECT_BINARY_DIR}/dist/changelog.gz)
foreach(pair "quorvin.1|${QUORVIN_MANUAL_PAGE}" "changelog|${QUORVIN_CHANGELOG}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 compressed)
  string(REGEX REPLACE "\\.gz$" "" plain ${compressed})
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E copy ${debian_dir}/${source} ${plain}
    COMMAND ${QUORVIN_GZIP} -n -9 -f ${plain}
    DEPENDS ${debian_dir}/${source}
    COMMENT "Compressing ${source}")
endforeach()
add_custom_target(debian_documents ALL DEPENDS ${QUORVIN_MANUAL_PAGE} ${QUORVIN_CHANGELOG})
install(FILES ${QUORVIN_MANUAL_PAGE} DESTINATION usr/share/man/man1 COMPONENT desktop)
install(FILES ${debian_dir}/copyright ${QUORVIN_CHANGELOG} DESTINATION usr/share/doc/quorvin
        COMPONENT desktop)

# The portable folder: only when asked for (the archive, or --component portable).
install(TARGETS quorvin RUNTIME DESTINATION . COMPONENT portable EXCLUDE_FROM_ALL)
install(FILES ${QUORVIN_HELP_FILE} ${PROJECT_BINARY_DIR}/dist/README.txt DESTINATION .
        COMPONENT portable EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_NAME quorvin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${QUORVIN_VENDOR})
set(CPACK_PACKAGE_CONTACT "The Quorvin Authors <authors@quorvin.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns typed numbers into byte readouts")
set(CPACK_PACKAGE_HOMEPAGE_URL ${QUORVIN_HOMEPAGE})
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingComponents.cmake)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Two builds of one commit give byte-identical packages.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CPACK_QUORVIN_SOURCE_DATE_EPOCH ${QUORVIN_SOURCE_DATE_EPOCH})
set(CPACK_QUORVIN_PYTHON ${Python3_EXECUTABLE})
set(CPACK_QUORVIN_NORMALIZER ${PROJECT_SOURCE_DIR}/scripts/normalize-archive.py)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/NormalizePackages.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The long description below the summary line; cpack indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quorvin shows the one-byte character of a typed position (decimal or
hexadecimal) and lists the hexadecimal byte values of the positions 0 to N-1.
Its menus and dialogs carry Chinese and English side by side.

Product version ${QUORVIN_PRODUCT_VERSION}, file version ${QUORVIN_FILE_VERSION}.")
# What the program links against, the font for its Chinese texts, and xdg-open, through
# which it opens the help file and the web page. A CHM viewer makes Help > Content work.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), \
libqt6widgets6 (>= 6.4), libjpeg62-turbo (>= 1.3.1), libqrencode4 (>= 3.2.0), \
fonts-arphic-uming, fonts-liberation2 | fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xchm)

include(CPack)
