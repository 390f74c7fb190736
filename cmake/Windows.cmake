# The Windows build, cross-compiled with cmake/MinGW64Toolchain.cmake into build-windows/:
# the libraries without user interface, their Windows implementations, the Win32 front end,
# the help file, the downloads (the portable zip and the installer) and their tests. The tests run under Wine, each in the build folder's own Wine prefix.

# One executable with nothing to install beside it: the C and C++ runtimes and the
# thread library are linked in.
add_link_options(-static $<$<CONFIG:Release,MinSizeRel>:-s>)
# No link time in the executables' headers: two builds of one commit give one file.
add_link_options(-Wl,--no-insert-timestamp)
# Stack protector and checked string and memory functions (MinGW-w64's, from libssp,
# linked in like the rest).
add_compile_options(-fstack-protector-strong $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
add_link_options(-fstack-protector-strong)
# Windows' own headers: wide (...W) functions by default, nothing older than Windows 7.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

set(QUORVIN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(QUORVIN_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVIN_WINE_RUN} ${QUORVIN_WINE_PREFIX})

enable_testing()

add_subdirectory(core)
add_subdirectory(readout)
add_subdirectory(document)
add_subdirectory(editor)
add_subdirectory(settings)
set(QUORVIN_PROGRAM_DIR ${CMAKE_BINARY_DIR}/win32)
add_subdirectory(help)
add_subdirectory(win32)
include(${PROJECT_SOURCE_DIR}/cmake/WindowsPackage.cmake)
add_subdirectory(tests/windows)
add_subdirectory(bench/windows)
