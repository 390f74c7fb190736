# The Windows resource script: the application icon and the version record, with the
# versions of the root CMakeLists.txt. A Windows build compiles it into the executable;
# elsewhere it is only configured, so that its test can compile it with windres.
string(REPLACE "." "," QUORVIN_FILE_VERSION_COMMAS "${QUORVIN_FILE_VERSION}")
set(QUORVIN_ICO_PATH ${PROJECT_SOURCE_DIR}/resources/quorvin.ico)
set(QUORVIN_RC_FILE ${PROJECT_BINARY_DIR}/resources/quorvin.rc)
configure_file(${PROJECT_SOURCE_DIR}/resources/quorvin.rc.in ${QUORVIN_RC_FILE} @ONLY)

if(WIN32)
  target_sources(quorvin PRIVATE ${QUORVIN_RC_FILE})
  # windres reports no dependencies: a new icon rebuilds the program all the same.
  set_source_files_properties(${QUORVIN_RC_FILE} PROPERTIES OBJECT_DEPENDS ${QUORVIN_ICO_PATH})
endif()
