# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` puts
# under /usr. dpkg-shlibdeps finds the libraries the programs and modules link; the
# rest is loaded at run time: Mesa's drivers (OpenGL and the headless EGL context) and
# Qt's platform plugins.
set(CPACK_PACKAGE_NAME pictomolder)
set(CPACK_PACKAGE_VENDOR Selvaron)
set(CPACK_PACKAGE_CONTACT "Pictomolder developers <pictomolder@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of 3D icons written as 3DI scripts")
set(CPACK_PACKAGE_DESCRIPTION
    "Pictomolder edits three-dimensional icons written in the 3DI script language, with a live OpenGL preview, and exports them transparent and antialiased at every size a desktop asks for. pictomolder-cli does the same without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, libegl-mesa0")
if(PM_BUILD_EDITOR)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins")
endif()
include(CPack)
