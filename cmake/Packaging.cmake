# cpack -G DEB: one Debian package of the product (plug-in, the stand-in
# liblcdcommunicator.so.1, headers, CMake package, lcd-host, lcd-devicesim).
#
# Everything goes under /opt/layercutoutmodel. Our liblcdcommunicator.so.1
# stands in for the device maker's library of the same name: in a directory
# of the system's linker it would be found before the real one. Under /opt
# only the plug-in's run path ($ORIGIN) and lcd-host's ($ORIGIN/../lib) find it.
set(CPACK_PACKAGE_NAME layercutoutmodel)
set(CPACK_PACKAGE_VENDOR "Tavro")
set(CPACK_PACKAGE_CONTACT "layercutoutmodel maintainers <lcd@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Layer cutout plug-in for the display processor's component host, with its stand-ins")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "The liblayercutoutmodel plug-in, a stand-in liblcdcommunicator.so.1 kept private to it, the headers and CMake "
  "package for integrators, lcd-host (a command-line host) and lcd-devicesim (a device simulator with a page that "
  "shows each layer's key).")
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/layercutoutmodel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The package's architecture is the target's, also in a cross build.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
endif()
# dpkg-shlibdeps works out the dependencies from the binaries; the private
# library is found beside them through their run paths.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Integrators build against the headers with Qt 5 Core and libcurl.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qtbase5-dev, libcurl4-openssl-dev")
include(CPack)
