# Read by cpack for each generator: which install components go into which package.
# The .deb installs the program folder under /usr/lib and its desktop files under /usr/share;
# the portable archive holds the program folder alone, with a note on running it.
list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 build_dir)
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_INSTALL_CMAKE_PROJECTS ${build_dir} Quorvin program / ${build_dir} Quorvin desktop /)
else()
  set(CPACK_INSTALL_CMAKE_PROJECTS ${build_dir} Quorvin portable /)
endif()
