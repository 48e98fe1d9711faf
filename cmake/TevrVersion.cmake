# SPDX-License-Identifier: MIT
# tevr_version: the generated header TevrVersion.h with the project's version, for the programs'
# --version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/TevrVersion.h.in ${PROJECT_BINARY_DIR}/generated/TevrVersion.h
               @ONLY)
add_library(tevr_version INTERFACE)
target_include_directories(tevr_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
