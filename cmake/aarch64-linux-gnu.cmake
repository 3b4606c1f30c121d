# Cross build for 64-bit ARM Linux on a Debian host with the arm64 architecture
# added: the cross compiler from g++-aarch64-linux-gnu, the target's libraries
# and CMake packages from the :arm64 packages, and every program the build runs
# (test discovery, CTest) under qemu-user. scripts/test-arm64.sh installs it all.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# The cross compiler's own C and C++ runtime sits in /usr/aarch64-linux-gnu;
# the :arm64 packages sit beside the host's in /usr, under lib/aarch64-linux-gnu,
# so "/" is searched too and the library architecture above keeps the x86-64
# directories out. Programs found are the host's (pkg-config). Qt5Core's
# package only checks that its qmake, moc and rcc exist (qt5-qmake:arm64 and the
# host's qtbase5-dev-tools); the project runs none of them.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config would otherwise hand out the host's .pc files, and with them the
# x86-64 libraries (FindCURL and cpp-httplib go through it).
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# "-L /": the programs run with the loader and libraries of the :arm64 packages
# (/lib/ld-linux-aarch64.so.1, /usr/lib/aarch64-linux-gnu), one glibc build as on
# an aarch64 Debian, rather than the cross loader of /usr/aarch64-linux-gnu
# beside a libc.so.6 of another build.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-aarch64 -L /)
