# SPDX-License-Identifier: MIT
# Shared build settings: warnings, sanitizers, ccache, and the helpers every folder uses.

find_program(TEVR_CCACHE ccache)
if(TEVR_CCACHE)
    set(CMAKE_CXX_COMPILER_LAUNCHER "${TEVR_CCACHE}")
endif()

add_compile_options(-Wall -Wextra)
# Clang checks that every field a mutex guards is touched only with the mutex held.
add_compile_options($<$<CXX_COMPILER_ID:Clang>:-Wthread-safety>)

if(TEVR_FUZZ)
    # Coverage for libFuzzer in every library, not only in the fuzz targets themselves.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(TEVR_SANITIZE)
    add_compile_options(-fsanitize=${TEVR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${TEVR_SANITIZE})
endif()

# tevr_library(NAME <target> [QT] [DEPS <targets...>])
# One static library from every .cpp of the calling folder, except files named *_main.cpp.
function(tevr_library)
    cmake_parse_arguments(ARG "QT" "NAME" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(FILTER sources EXCLUDE REGEX "_main\\.cpp$")
    add_library(${ARG_NAME} STATIC ${sources})
    target_include_directories(${ARG_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS})
    if(ARG_QT)
        set_target_properties(${ARG_NAME} PROPERTIES AUTOMOC ON)
    endif()
endfunction()
