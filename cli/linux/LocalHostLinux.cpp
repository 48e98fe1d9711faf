// SPDX-License-Identifier: MIT
#include <unistd.h>

#include "cli/LocalHost.h"

std::string HostName() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) return "";
    return host;
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}
