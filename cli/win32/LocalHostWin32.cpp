// SPDX-License-Identifier: MIT
#include <windows.h>

#include "cli/LocalHost.h"

std::string HostName() {
    char host[256] = {};
    DWORD size = sizeof host - 1;
    if (!::GetComputerNameExA(ComputerNameDnsHostname, host, &size)) return "";
    return std::string(host, size);
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}
