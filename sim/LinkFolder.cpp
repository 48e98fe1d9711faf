// SPDX-License-Identifier: MIT
#include "sim/LinkFolder.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "base/Translation.h"
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
    // Any other folder is the user's to make: a mistyped --link must not leave folders behind,
    // at the root of the file system least of all.
    if (sharedFolder.empty() || path != Normal(sharedFolder))
        throw SimError(Fill(Tr("the folder %1 does not exist; make it first, or put the link "
                               "into %2"),
                            {folder, sharedFolder}));
    const bool made = fs::create_directories(path, error);
    if (error) throw SystemSimError(Fill(Tr("cannot make the folder %1"), {folder}), error.value());
    // Made here (not by another simulator a moment before), so the mode is ours to set; the
    // umask would leave other users unable to add their links.
    if (made && ::chmod(path.c_str(), S_IRWXU | S_IRWXG | S_IRWXO | S_ISVTX) != 0)
        throw SimError(Fill(Tr("cannot open the folder %1 to every user"), {folder}));
}
