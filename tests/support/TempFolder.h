// SPDX-License-Identifier: MIT
#pragma once
// A folder of its own for a test, removed with everything in it; unique, so that runs of other
// worktrees or users at the same time never meet it.
#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of `name` in the folder.
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // Writes `content` byte for byte to `name` and returns its path.
    std::string Write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

// The whole content of the file at `path`, byte for byte; empty when it cannot be read.
std::string ReadWhole(const std::string& path);
