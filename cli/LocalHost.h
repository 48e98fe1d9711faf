// SPDX-License-Identifier: MIT
#pragma once
// What the journal records of the machine it runs on: its name and its local time.
#include <ctime>
#include <string>

// The machine's name; empty when the system does not tell it.
std::string HostName();

// `time` as the local time zone has it.
std::tm LocalTime(std::time_t time);
