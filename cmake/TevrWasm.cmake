# SPDX-License-Identifier: MIT
# The WebAssembly build with Debian's emscripten (Emscripten.cmake as the toolchain; `make
# test-wasm`): the portable core and its suites, run under node. The layers report by throwing,
# so every target keeps C++ exceptions, which emscripten leaves out unless asked. The system
# libraries come from emscripten's cache as Debian ships it, built already.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
# The optimised link runs emscripten's JavaScript optimiser, which needs Debian's acorn
# (node-acorn); a node of another origin (NodeSource's) does not look where Debian puts it.
if(IS_DIRECTORY /usr/share/nodejs/acorn)
    set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()

if(TEVR_TESTS)
    # node as the suites' emulator; emscripten 3.1.6 fetches its .wasm with a fetch() that
    # node 18 and later has but cannot give a plain path to, and reads it as a file without it.
    find_program(TEVR_NODE node REQUIRED)
    set(TEVR_WASM_RUN ${TEVR_NODE} --no-experimental-fetch)
    # The suites read the source tree's samples and write temporary folders on the host's file
    # system, and return their status as node's.
    set(TEVR_WASM_TEST_LINK -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
        -sALLOW_MEMORY_GROWTH=1)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    include(${CMAKE_CURRENT_LIST_DIR}/TevrGoogleTest.cmake)
endif()
