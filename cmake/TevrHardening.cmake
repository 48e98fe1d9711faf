# SPDX-License-Identifier: MIT
# The distribution's hardening in the build that is packaged: the flags of dpkg-buildflags with
# every hardening feature (fortified functions, strong stack protector, format checks, read-only
# relocations bound at start-up) and position-independent executables. Optimisation and debug
# information stay the build type's. Sanitizer, fuzz and unoptimised builds go without:
# fortification needs optimisation and stands in the sanitizers' way. The Windows build goes
# without too, and so does WebAssembly: their flags are for the distribution's own compiler and
# linker.
find_program(TEVR_DPKG_BUILDFLAGS dpkg-buildflags)
set(hardening_default OFF)
if(TEVR_DPKG_BUILDFLAGS AND NOT WIN32 AND NOT EMSCRIPTEN AND NOT TEVR_SANITIZE AND NOT TEVR_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    set(hardening_default ON)
endif()
option(TEVR_HARDENING "Build with the distribution's hardening flags (dpkg-buildflags)"
       ${hardening_default})

# The flags of one kind (CPPFLAGS, CXXFLAGS, LDFLAGS) as a list, without -O and -g.
function(tevr_dpkg_buildflags kind out)
    # From the source folder, so that -ffile-prefix-map writes paths relative to it, as a
    # package build does.
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${TEVR_DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O|g)")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

if(TEVR_HARDENING)
    if(NOT TEVR_DPKG_BUILDFLAGS)
        message(FATAL_ERROR "TEVR_HARDENING needs dpkg-buildflags (package dpkg-dev)")
    endif()
    tevr_dpkg_buildflags(CPPFLAGS cppflags)
    tevr_dpkg_buildflags(CXXFLAGS cxxflags)
    tevr_dpkg_buildflags(LDFLAGS ldflags)
    add_compile_options(${cppflags} ${cxxflags})
    add_link_options(${ldflags})
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
