// SPDX-License-Identifier: MIT
#include "cli/Journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <nlohmann/json.hpp>

#include "cli/SubjectError.h"

std::string IsoLocalTime(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto millis = duration_cast<milliseconds>(time.time_since_epoch()).count();
    const auto seconds =
        static_cast<std::time_t>(millis >= 0 ? millis / 1000 : -((-millis + 999) / 1000));
    const auto fraction = static_cast<int>(millis - static_cast<long long>(seconds) * 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[40];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local);  // +0300
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03d%.3s:%.2s", date, fraction, zone, zone + 3);
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

Journal::Journal(std::string path) : path_(std::move(path)) {
    fd_.Reset(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (!fd_.Valid())
        throw SubjectError(path_, std::string("cannot open: ") + std::strerror(errno));
}

void Journal::Append(const JournalEntry& entry) {
    const std::string line = JournalLine(entry);
    ssize_t written;
    do {
        written = ::write(fd_.Get(), line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0)
        throw SubjectError(path_, std::string("cannot write: ") + std::strerror(errno));
    // A part of a line (a full disk) would spoil the file for every reader after it.
    if (static_cast<size_t>(written) != line.size())
        throw SubjectError(path_, "cannot write: only part of a line went in (is the disk full?)");
}
