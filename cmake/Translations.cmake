# The window's English. translations/prismel_en.ts is the translators' source: the
# prismel_window_lupdate target refreshes it from the window's sources, and lrelease builds the
# .qm that prismel loads from the same place relative to itself in the build tree as installed.
# Debian packages: qt6-tools-dev, qt6-l10n-tools.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
include(GNUInstallDirs)

set(PRISMEL_TS_FILES ${PROJECT_SOURCE_DIR}/translations/prismel_en.ts)
set(prismel_translations_install_dir ${CMAKE_INSTALL_DATADIR}/prismel/translations)
file(RELATIVE_PATH prismel_translations_from_bin /${CMAKE_INSTALL_BINDIR}
     /${prismel_translations_install_dir})
get_target_property(prismel_bin_dir prismel BINARY_DIR)
cmake_path(ABSOLUTE_PATH prismel_translations_from_bin BASE_DIRECTORY ${prismel_bin_dir} NORMALIZE
           OUTPUT_VARIABLE PRISMEL_BUILD_TRANSLATIONS_DIR)
target_compile_definitions(prismel PRIVATE
                           PRISMEL_TRANSLATIONS_FROM_BIN="${prismel_translations_from_bin}")

set_source_files_properties(${PRISMEL_TS_FILES} PROPERTIES
                            OUTPUT_LOCATION ${PRISMEL_BUILD_TRANSLATIONS_DIR})
# No line numbers, so that the .ts changes only when a text does.
qt6_add_lupdate(prismel_window TS_FILES ${PRISMEL_TS_FILES} OPTIONS -no-obsolete -locations none)
# Built with the window's library, so that every test of the window finds the .qm as well.
qt6_add_lrelease(prismel_window TS_FILES ${PRISMEL_TS_FILES} OPTIONS -silent
                 QM_FILES_OUTPUT_VARIABLE prismel_qm_files)
install(FILES ${prismel_qm_files} DESTINATION ${prismel_translations_install_dir})
