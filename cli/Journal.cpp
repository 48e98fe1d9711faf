// SPDX-License-Identifier: MIT
#include "cli/Journal.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "cli/LocalHost.h"

namespace {

// Days from 1970-01-01 to the date of the proleptic Gregorian calendar.
long long DaysFromEpoch(long long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

// The local time's distance from UTC at `time`, in minutes: what the local calendar and clock
// say, read as UTC, less the time itself. strftime's %z would do on Linux, but names the zone
// in words on Windows.
long long UtcOffsetMinutes(const std::tm& local, std::time_t time) {
    const long long seconds =
        DaysFromEpoch(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) *
            86400 +
        local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
    return (seconds - static_cast<long long>(time)) / 60;
}

}  // namespace

std::string IsoLocalTime(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto millis = duration_cast<milliseconds>(time.time_since_epoch()).count();
    const auto seconds =
        static_cast<std::time_t>(millis >= 0 ? millis / 1000 : -((-millis + 999) / 1000));
    const auto fraction = static_cast<int>(millis - static_cast<long long>(seconds) * 1000);
    const std::tm local = LocalTime(seconds);
    char date[40];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const long long offset = UtcOffsetMinutes(local, seconds);
    const long long away = offset < 0 ? -offset : offset;
    char text[128];  // room for every value the compiler cannot rule out
    std::snprintf(text, sizeof text, "%s.%03d%c%02lld:%02lld", date, fraction,
                  offset < 0 ? '-' : '+', away / 60, away % 60);
    return text;
}

std::string JournalLine(const JournalEntry& entry) {
    nlohmann::ordered_json line;
    line["start"] = IsoLocalTime(entry.start);
    line["end"] = IsoLocalTime(entry.end);
    line["host"] = entry.host;
    line["port"] = entry.port;
    if (!entry.adapter.VendorId.empty()) line["usb_vendor"] = entry.adapter.VendorId;
    if (!entry.adapter.ProductId.empty()) line["usb_product"] = entry.adapter.ProductId;
    if (!entry.adapter.SerialNumber.empty()) line["usb_serial"] = entry.adapter.SerialNumber;
    line["file"] = entry.file;
    line["file_size"] = entry.fileSize;
    line["sha256"] = entry.sha256;
    line["blocks"] = entry.blocksSent;
    line["blocks_total"] = entry.blocksTotal;
    line["seconds"] = std::round(entry.seconds * 1000) / 1000;
    line["result"] = entry.result;
    line["message"] = entry.message;
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

Journal::Journal(std::string path) : path_(std::move(path)), file_(path_) {}

void Journal::Append(const JournalEntry& entry) {
    file_.Append(JournalLine(entry));
}
