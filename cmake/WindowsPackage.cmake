# The Windows downloads, made with every Windows build (`make package-windows` names them):
#   package/quorvin-<version>-windows-x64.zip        the portable folder: quorvin.exe,
#                                                     quorvin.chm and README.txt
#   package/quorvin-<version>-windows-x64-setup.exe  the installer (NSIS, dist/windows/)
find_program(QUORVIN_MAKENSIS makensis REQUIRED)

set(QUORVIN_PACKAGE_NAME quorvin-${PROJECT_VERSION}-windows-x64)
set(QUORVIN_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(QUORVIN_INSTALLER_NAME ${QUORVIN_PACKAGE_NAME}-setup.exe)
set(QUORVIN_INSTALLER ${QUORVIN_PACKAGE_DIR}/${QUORVIN_INSTALLER_NAME})
set(QUORVIN_ZIP ${QUORVIN_PACKAGE_DIR}/${QUORVIN_PACKAGE_NAME}.zip)
set(portable_dir ${QUORVIN_PACKAGE_DIR}/${QUORVIN_PACKAGE_NAME})

# README.txt as Windows' own editor reads it best: CR LF line ends and a UTF-8 byte order
# mark, so that the Chinese lines show right also where UTF-8 is not the default.
# (The copy at the end touches README.txt only when its text changed.)
set(readme_body ${CMAKE_BINARY_DIR}/dist/README-body.txt)
set(readme ${CMAKE_BINARY_DIR}/dist/README.txt)
configure_file(${PROJECT_SOURCE_DIR}/dist/windows/README.txt.in ${readme_body} @ONLY
               NEWLINE_STYLE CRLF)
string(ASCII 239 187 191 byte_order_mark)
file(READ ${readme_body} readme_text)
file(WRITE ${readme}.new "${byte_order_mark}${readme_text}")
configure_file(${readme}.new ${readme} COPYONLY)

# The archive is the same from every build of one commit: its members in order of name,
# each stamped with SOURCE_DATE_EPOCH's time and nothing else of its file.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
string(TIMESTAMP zip_time "%Y-%m-%d %H:%M:%S UTC" UTC)
set(zip_members ${QUORVIN_PACKAGE_DIR}/zip-members.txt)
file(CONFIGURE OUTPUT ${zip_members} CONTENT "${QUORVIN_PACKAGE_NAME}/README.txt
${QUORVIN_PACKAGE_NAME}/quorvin.chm
${QUORVIN_PACKAGE_NAME}/quorvin.exe
")

add_custom_command(OUTPUT ${QUORVIN_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${portable_dir} ${QUORVIN_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${portable_dir}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quorvin> ${QUORVIN_HELP_FILE} ${readme}
          ${portable_dir}
  COMMAND ${CMAKE_COMMAND} -E chdir ${QUORVIN_PACKAGE_DIR}
          ${CMAKE_COMMAND} -E tar cf ${QUORVIN_ZIP} --format=zip --mtime=${zip_time}
          --files-from=${zip_members}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/normalize-archive.py ${QUORVIN_ZIP}
  DEPENDS quorvin ${QUORVIN_HELP_FILE} ${readme} ${zip_members}
          ${PROJECT_SOURCE_DIR}/scripts/normalize-archive.py
  COMMENT "Portable folder ${QUORVIN_PACKAGE_NAME}.zip"
  VERBATIM)

add_custom_command(OUTPUT ${QUORVIN_INSTALLER}
  COMMAND ${QUORVIN_MAKENSIS} -V2 -WX -INPUTCHARSET UTF8
          -DPRODUCT_VERSION=${QUORVIN_PRODUCT_VERSION} -DFILE_VERSION=${QUORVIN_FILE_VERSION}
          -DPROGRAM_DIR=${portable_dir} -DICON=${PROJECT_SOURCE_DIR}/resources/quorvin.ico
          -DPUBLISHER=${QUORVIN_VENDOR} -DOUTFILE=${QUORVIN_INSTALLER}
          ${PROJECT_SOURCE_DIR}/dist/windows/quorvin.nsi
  DEPENDS ${QUORVIN_ZIP} ${PROJECT_SOURCE_DIR}/dist/windows/quorvin.nsi
          ${PROJECT_SOURCE_DIR}/resources/quorvin.ico
  COMMENT "Installer ${QUORVIN_INSTALLER_NAME}"
  VERBATIM)

add_custom_target(windows_packages ALL DEPENDS ${QUORVIN_ZIP} ${QUORVIN_INSTALLER})
