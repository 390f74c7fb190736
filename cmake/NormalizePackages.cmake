# Run by cpack once it has made the packages (CPACK_POST_BUILD_SCRIPTS): each archive is
# made the same however and whenever it was built (scripts/normalize-archive.py).
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${CPACK_QUORVIN_SOURCE_DATE_EPOCH}
            ${CPACK_QUORVIN_PYTHON} ${CPACK_QUORVIN_NORMALIZER} ${package}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
