# SPDX-License-Identifier: MIT
# GoogleTest built with the project's compiler from Debian's source package (googletest), for the
# builds that cannot take the system's compiled one: the Windows cross build and WebAssembly.
set(TEVR_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (package googletest)")
if(NOT EXISTS ${TEVR_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources are missing in ${TEVR_GOOGLETEST_SOURCE} (make setup)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# It names its targets GTest::gtest, GTest::gmock, ... as the installed package does.
add_subdirectory(${TEVR_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
