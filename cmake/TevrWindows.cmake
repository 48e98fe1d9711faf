# SPDX-License-Identifier: MIT
# What the Windows build (cross-built with cmake/TevrMingw64.cmake) takes from the build machine:
# the header-only libraries of Debian's own packages, and GoogleTest built from Debian's source
# package (cmake/TevrGoogleTest.cmake). The system's headers beside them stay out of the compiler's sight: each library's
# folder is reached through a link of its own.
# The programs at the top of the build folder: build-win/tevr-flash.exe.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

enable_language(RC)

# tevr_windows_resources(<target> DESCRIPTION <text> [ICON <file.ico>] [MANIFEST <file>])
# The program's version resource, and its icon and manifest when given.
function(tevr_windows_resources target)
    cmake_parse_arguments(ARG "" "DESCRIPTION;ICON;MANIFEST" "" ${ARGN})
    set(TEVR_RC_NAME ${target})
    set(TEVR_RC_DESCRIPTION ${ARG_DESCRIPTION})
    set(TEVR_RC_EXTRA "")
    if(ARG_ICON)
        string(APPEND TEVR_RC_EXTRA "1 ICON \"${ARG_ICON}\"\n")
    endif()
    if(ARG_MANIFEST)
        # CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST
        string(APPEND TEVR_RC_EXTRA "1 24 \"${ARG_MANIFEST}\"\n")
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/TevrVersion.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()

# windows.h without its min and max macros and the parts nobody here uses.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)

set(TEVR_DEBIAN_INCLUDE /usr/include CACHE PATH "Where CLI11 and nlohmann_json are installed")

# tevr_header_library(<target> <folder under TEVR_DEBIAN_INCLUDE>)
function(tevr_header_library target folder)
    set(root ${PROJECT_BINARY_DIR}/include/debian-${folder})
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${TEVR_DEBIAN_INCLUDE}/${folder})
        message(FATAL_ERROR "${target}: ${TEVR_DEBIAN_INCLUDE}/${folder} is missing (make setup)")
    endif()
    file(CREATE_LINK ${TEVR_DEBIAN_INCLUDE}/${folder} ${root}/${folder} SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    target_include_directories(${target} SYSTEM INTERFACE ${root})
endfunction()

# Debian's libgcrypt for mingw-w64 (libgcrypt-mingw-w64-dev), linked to its DLLs so that the
# LGPL's terms are kept: the two DLLs lie beside the programs (and go into the installer) with
# their licence texts, and may be replaced by the user.
set(TEVR_MINGW_ROOT /usr/${TEVR_MINGW_TRIPLET} CACHE PATH "mingw-w64's libraries (libgcrypt)")
set(TEVR_GCRYPT_IMPORT_LIBS ${TEVR_MINGW_ROOT}/lib/libgcrypt.dll.a
    ${TEVR_MINGW_ROOT}/lib/libgpg-error.dll.a)
set(TEVR_CRYPTO_DLLS ${TEVR_MINGW_ROOT}/bin/libgcrypt-20.dll ${TEVR_MINGW_ROOT}/bin/libgpg-error-0.dll)
foreach(file IN LISTS TEVR_GCRYPT_IMPORT_LIBS TEVR_CRYPTO_DLLS)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "${file} is missing (make setup: libgcrypt-mingw-w64-dev)")
    endif()
endforeach()
file(COPY ${TEVR_CRYPTO_DLLS} DESTINATION ${PROJECT_BINARY_DIR})
# Their licences: Debian's copyright files of the two packages and the LGPL 2.1 they refer to.
configure_file(/usr/share/doc/libgcrypt-mingw-w64-dev/copyright
               ${PROJECT_BINARY_DIR}/libgcrypt-COPYING.txt COPYONLY)
configure_file(/usr/share/doc/libgpg-error-mingw-w64-dev/copyright
               ${PROJECT_BINARY_DIR}/libgpg-error-COPYING.txt COPYONLY)
configure_file(/usr/share/common-licenses/LGPL-2.1 ${PROJECT_BINARY_DIR}/LGPL-2.1.txt COPYONLY)

tevr_header_library(CLI11::CLI11 CLI)
tevr_header_library(nlohmann_json::nlohmann_json nlohmann)

if(TEVR_TESTS)
    include(${CMAKE_CURRENT_LIST_DIR}/TevrGoogleTest.cmake)
endif()
