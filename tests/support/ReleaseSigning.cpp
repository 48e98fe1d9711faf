// SPDX-License-Identifier: MIT
#include "support/ReleaseSigning.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace {
void Minisign(std::vector<std::string> args) {
    args.insert(args.begin(), "minisign");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // Its chatter ("Please enter a password", key ids) is of no use to a test.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const int error = posix_spawnp(&child, "minisign", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (error != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw std::runtime_error("minisign " + args[1] + " failed (make setup installs it)");
}
}  // namespace

SigningKey MakeSigningKey(const TempFolder& folder, const std::string& name) {
    SigningKey key{folder / (name + ".pub"), folder / (name + ".key")};
    Minisign({"-G", "-W", "-p", key.publicKeyFile, "-s", key.secretKeyFile});
    return key;
}

std::string PublicKeyText(const SigningKey& key) {
    std::istringstream lines(ReadWhole(key.publicKeyFile));
    std::string line;
    std::getline(lines, line);  // the untrusted comment
    std::getline(lines, line);
    return line;
}

void SignRelease(const SigningKey& key, const std::string& file, const std::string& trustedComment,
                 bool legacy) {
    std::vector<std::string> args{"-S", "-s", key.secretKeyFile, "-m", file, "-t", trustedComment};
    if (legacy) args.push_back("-l");
    Minisign(args);
}
