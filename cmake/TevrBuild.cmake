# SPDX-License-Identifier: MIT
# Shared build settings: warnings, sanitizers, ccache, and the helpers every folder uses.

find_program(TEVR_CCACHE ccache)
if(TEVR_CCACHE)
    set(CMAKE_CXX_COMPILER_LAUNCHER "${TEVR_CCACHE}")
endif()

# The project's warnings, linked by every target it builds; CI turns them into errors. Clang also
# checks that every field a mutex guards is touched only with the mutex held.
add_library(tevr_warnings INTERFACE)
target_compile_options(tevr_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wconversion -Wnon-virtual-dtor -Wpedantic
    $<$<CXX_COMPILER_ID:Clang>:-Wthread-safety>
    # mingw-w64's GCC 12 warns falsely of overlapping copies in "text" + std::string (GCC bug
    # 105651).
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<PLATFORM_ID:Windows>>:-Wno-restrict>
    $<$<BOOL:${TEVR_WERROR}>:-Werror>)

if(TEVR_FUZZ)
    # Coverage for libFuzzer in every library, not only in the fuzz targets themselves.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(TEVR_SANITIZE)
    add_compile_options(-fsanitize=${TEVR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${TEVR_SANITIZE})
endif()

# tevr_include_root(<target> <PUBLIC|INTERFACE|PRIVATE>)
# Makes the calling folder's headers reachable as "<folder>/X.h" for the target and, with PUBLIC
# or INTERFACE, for the targets that link it, and for no one else: each folder is an include
# root of its own, through a link in the build tree, so that a layer sees only what it links.
function(tevr_include_root target scope)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(root ${PROJECT_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} ${scope} ${root})
endfunction()

# tevr_library(NAME <target> [QT] SOURCES <files...> [DEPS <targets...>])
# A static library of the calling folder that the targets linking it include as "<folder>/X.h".
function(tevr_library)
    cmake_parse_arguments(ARG "QT" "NAME" "SOURCES;DEPS" ${ARGN})
    add_library(${ARG_NAME} STATIC ${ARG_SOURCES})
    tevr_include_root(${ARG_NAME} PUBLIC)
    target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS} PRIVATE tevr_warnings)
    if(ARG_QT)
        set_target_properties(${ARG_NAME} PROPERTIES AUTOMOC ON)
    endif()
endfunction()

# tevr_program(NAME <target> SOURCES <files...> DEPS <targets...>)
# A program with the project's warnings.
function(tevr_program)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;DEPS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPS} tevr_warnings)
endfunction()
