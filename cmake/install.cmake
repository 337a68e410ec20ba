# cmake --install: the program in bin/, the generated data set in
# share/parallaxis/ (found from the program as ../share/parallaxis, so a moved
# prefix still works), the desktop entry, icons, manual page and documents.
# cpack -G DEB makes a Debian package of the same files under /usr.
set(PARALLAXIS_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(PARALLAXIS_DOC share/doc/parallaxis)

install(TARGETS parallaxis RUNTIME DESTINATION bin)
target_link_options(parallaxis PRIVATE -Wl,-z,relro,-z,now)
foreach(folder textures models sounds cg_programs)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/${folder} DESTINATION share/parallaxis)
endforeach()
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons DESTINATION share)
install(FILES ${PARALLAXIS_PACKAGING}/parallaxis.desktop DESTINATION share/applications)

# The manual page and the change log go compressed, as Debian keeps them.
set(PACKED ${CMAKE_BINARY_DIR}/packaging)
add_custom_command(OUTPUT ${PACKED}/parallaxis.6.gz ${PACKED}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKED}
  COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" - ${PARALLAXIS_PACKAGING}/parallaxis.6 ${PACKED}/parallaxis.6.gz
  COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" - ${PARALLAXIS_PACKAGING}/changelog ${PACKED}/changelog.gz
  DEPENDS ${PARALLAXIS_PACKAGING}/parallaxis.6 ${PARALLAXIS_PACKAGING}/changelog
  VERBATIM)
add_custom_target(packed_docs ALL DEPENDS ${PACKED}/parallaxis.6.gz ${PACKED}/changelog.gz)
install(FILES ${PACKED}/parallaxis.6.gz DESTINATION share/man/man6)
install(FILES ${PACKED}/changelog.gz ${PARALLAXIS_PACKAGING}/copyright ${CMAKE_SOURCE_DIR}/README.md
  DESTINATION ${PARALLAXIS_DOC})

set(PARALLAXIS_MAINTAINER "Parallaxis developers <maintainers@invalid>"
  CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parallaxis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PARALLAXIS_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A demo, not a game: Debian keeps games in /usr/games, this stays in /usr/bin.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL demo with music")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Six rendered scenes play on one clock for three minutes with music: a
desktop that swings open, bouncing words, a cel-shaded torus knot, table
tennis between two lasers, a text streaming round a sphere and a chrome
skull in a sky. A settings dialog starts it; it can also render the show
offline into pictures and a sound file.")
include(CPack)
