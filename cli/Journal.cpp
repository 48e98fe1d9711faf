// SPDX-License-Identifier: MIT
#include "cli/Journal.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "cli/CauseJson.h"
#include "cli/LocalHost.h"

namespace {

// The local time's distance from UTC at `time`, in minutes: what the local calendar and clock
// say, read as UTC, less the time itself. strftime's %z would do on Linux, but names the zone
// in words on Windows.
long long UtcOffsetMinutes(const std::tm& local, std::time_t time) {
    using namespace std::chrono;
    const sys_days date = year{local.tm_year + 1900} /
                          month{static_cast<unsigned>(local.tm_mon + 1)} /
                          day{static_cast<unsigned>(local.tm_mday)};
    const long long seconds = date.time_since_epoch().count() * 86400LL + local.tm_hour * 3600LL +
                              local.tm_min * 60LL + local.tm_sec;
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
    line["release"] = entry.release;
    line["key_id"] = entry.keyId;
    line["blocks"] = entry.blocksSent;
    line["blocks_total"] = entry.blocksTotal;
    line["seconds"] = std::round(entry.seconds * 1000) / 1000;
    line["result"] = entry.result;
    line["code"] = entry.code;
    if (entry.cause.fault != BoardFault::None) line["cause"] = CauseJson(entry.cause);
    if (entry.signal != 0) line["signal"] = entry.signal;
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

Journal::Journal(const std::string& path) : file_(path) {}

void Journal::Append(const JournalEntry& entry) {
    file_.Append(JournalLine(entry));
}
