// SPDX-License-Identifier: MIT
#include "sim/LinkFolder.h"
#include "base/Translation.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "sim/SimError.h"

namespace {
// "/tmp/tevr-sim/" and "/tmp//tevr-sim" name the same folder as "/tmp/tevr-sim".
std::filesystem::path Normal(const std::string& folder) {
    const std::filesystem::path path = std::filesystem::path(folder).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}
}  // namespace

void MakeLinkFolder(const std::string& folder, const std::string& sharedFolder) {
    namespace fs = std::filesystem;
    if (folder.empty()) return;
    const fs::path path = Normal(folder);
    std::error_code error;
    if (fs::is_directory(path, error)) return;
    const bool made = fs::create_directories(path, error);
    if (error) throw SimError(Fill(Tr("cannot make the folder %1: %2"), {folder, error.message()}));
    // Made here (not by another simulator a moment before), so the mode is ours to set; the
    // umask would leave other users unable to add their links.
    if (made && path == Normal(sharedFolder) &&
        ::chmod(path.c_str(), S_IRWXU | S_IRWXG | S_IRWXO | S_ISVTX) != 0)
        throw SimError(Fill(Tr("cannot open the folder %1 to every user"), {folder}));
}
