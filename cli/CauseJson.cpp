// SPDX-License-Identifier: MIT
#include "cli/CauseJson.h"

#include <array>
#include <string>

namespace {
using Json = nlohmann::json;

// The names of an enumeration's values, in their order.
template <typename Enum, size_t N>
struct Names {
    std::array<const char*, N> names;

    const char* operator()(Enum value) const {
        const auto index = static_cast<size_t>(value);
        return index < N ? names[index] : "";
    }
    std::optional<Enum> operator()(const Json& data, const char* key) const {
        const auto found = data.find(key);
        if (found == data.end() || !found->is_string()) return std::nullopt;
        for (size_t i = 0; i < N; ++i)
            if (*found == names[i]) return static_cast<Enum>(i);
        return std::nullopt;
    }
};

constexpr Names<BoardFault, 14> kBoardFaults{
    {"none", "not-started", "port-open-failed", "serial-error", "file-unreadable", "file-refused",
     "transfer-error", "device-gone", "echo-mismatch", "no-end-command", "transfer-stopped",
     "no-progress", "stopped", "port-not-found"}};
static_assert(static_cast<size_t>(BoardFault::PortNotFound) == 13);

constexpr Names<FileFault, 6> kFileFaults{
    {"not-found", "invalid-name", "too-many-open", "access-denied", "disk-full", "other"}};
static_assert(static_cast<size_t>(FileFault::Other) == 5);

constexpr Names<TVaCommFault, 18> kCommFaults{
    {"other", "refused-while-open", "device-not-found", "cant-open", "write-dcb", "init-buffers",
     "set-timeouts", "no-dispatcher", "set-event-mask", "write", "start-thread",
     "dtr-with-handshake", "comm-function", "read", "statistics", "line-settings", "output-full",
     "device-gone"}};
static_assert(static_cast<size_t>(TVaCommFault::DeviceGone) == 17);

constexpr Names<TVaSystemFault, 6> kSystemFaults{
    {"other", "not-found", "access-denied", "busy", "not-a-serial-port", "gone"}};
static_assert(static_cast<size_t>(TVaSystemFault::Gone) == 5);

constexpr Names<StallWait, 7> kStallWaits{
    {"greeting", "second-greeting", "acknowledge", "echo", "rest-of-echo", "checksum", "answer"}};
static_assert(static_cast<size_t>(StallWait::Answer) == 6);

// The names a code function gives, read back.
template <typename Enum>
std::optional<Enum> FromCode(const Json& data, const char* key, Enum last,
                             const char* (*code)(Enum)) {
    const auto found = data.find(key);
    if (found == data.end() || !found->is_string()) return std::nullopt;
    for (int i = 0; i <= static_cast<int>(last); ++i)
        if (*found == code(static_cast<Enum>(i))) return static_cast<Enum>(i);
    return std::nullopt;
}

template <typename T>
T Value(const Json& data, const char* key, T otherwise = {}) {
    const auto found = data.find(key);
    if (found == data.end()) return otherwise;
    if constexpr (std::is_same_v<T, std::string>) {
        return found->is_string() ? found->get<std::string>() : otherwise;
    } else {
        if (!found->is_number_integer()) return otherwise;
        const auto number = found->get<int64_t>();
        // Only values the type holds; a journal is a file anybody may have edited.
        if (number < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
            static_cast<uint64_t>(number) > static_cast<uint64_t>(std::numeric_limits<T>::max()))
            return otherwise;
        return static_cast<T>(number);
    }
}

struct Writer {
    nlohmann::ordered_json& out;

    void operator()(const ConversionProblem& p) const {
        out["kind"] = "conversion";
        out["problem"] = ConversionFaultCode(p.fault);
        out["line"] = p.line;
        out["text"] = p.text;
        out["address"] = p.address;
        out["value"] = p.value;
        out["other_value"] = p.otherValue;
        out["limit"] = p.limit;
        out["format"] = ForeignFormatCode(p.format);
    }
    void operator()(const FileProblem& p) const {
        out["kind"] = "file";
        out["problem"] = kFileFaults(p.fault);
        out["system_code"] = p.code;
    }
    void operator()(const SerialProblem& p) const {
        out["kind"] = "serial";
        out["problem"] = kCommFaults(p.fault);
        out["system_code"] = p.code;
        out["system_fault"] = kSystemFaults(p.systemFault);
        out["device"] = p.device;
    }
    void operator()(const SignatureProblem& p) const {
        out["kind"] = "signature";
        out["problem"] = SignatureFaultCode(p.fault);
        out["signature_file"] = p.signatureFile;
        out["key_id"] = p.keyId;
        out["file_problem"] = kFileFaults(p.fileFault);
        out["system_code"] = p.fileCode;
        out["limit"] = p.limit;
    }
    void operator()(const KeyProblem& p) const {
        out["kind"] = "key";
        out["problem"] = KeyFaultCode(p.fault);
        out["line"] = p.line;
    }
    void operator()(const StallReason& p) const {
        out["kind"] = "stall";
        out["waited_for"] = kStallWaits(p.waitedFor);
        out["address"] = p.address;
        out["echo_count"] = p.echoCount;
        out["echo_length"] = p.echoLength;
        out["waited_ms"] = p.waited.count();
    }
    void operator()(const UnexpectedProblem& p) const {
        out["kind"] = "unexpected";
        out["text"] = p.logText;
    }
};

std::optional<Problem> ProblemFromJson(const Json& data) {
    const std::string kind = Value<std::string>(data, "kind");
    if (kind == "conversion") {
        ConversionProblem p;
        const auto fault =
            FromCode(data, "problem", ConversionFault::ScriptLineTooLong, &ConversionFaultCode);
        if (!fault) return std::nullopt;
        p.fault = *fault;
        p.line = Value<int64_t>(data, "line");
        p.text = Value<std::string>(data, "text");
        p.address = Value<uint32_t>(data, "address");
        p.value = Value<uint8_t>(data, "value");
        p.otherValue = Value<uint8_t>(data, "other_value");
        p.limit = Value<uint32_t>(data, "limit");
        p.format = FromCode(data, "format", ForeignFormat::TiTxt, &ForeignFormatCode)
                       .value_or(ForeignFormat::Binary);
        return p;
    }
    if (kind == "file") {
        const auto fault = kFileFaults(data, "problem");
        if (!fault) return std::nullopt;
        return FileProblem{*fault, Value<int>(data, "system_code")};
    }
    if (kind == "serial") {
        const auto fault = kCommFaults(data, "problem");
        if (!fault) return std::nullopt;
        return SerialProblem{*fault, Value<int>(data, "system_code"),
                             Value<std::string>(data, "device"),
                             kSystemFaults(data, "system_fault").value_or(TVaSystemFault::Other)};
    }
    if (kind == "signature") {
        const auto fault =
            FromCode(data, "problem", SignatureFault::LegacyTooLong, &SignatureFaultCode);
        if (!fault) return std::nullopt;
        SignatureProblem p;
        p.fault = *fault;
        p.signatureFile = Value<std::string>(data, "signature_file");
        p.keyId = Value<std::string>(data, "key_id");
        p.fileFault = kFileFaults(data, "file_problem").value_or(FileFault::Other);
        p.fileCode = Value<int>(data, "system_code");
        p.limit = Value<size_t>(data, "limit");
        return p;
    }
    if (kind == "key") {
        const auto fault = FromCode(data, "problem", KeyFault::AllZero, &KeyFaultCode);
        if (!fault) return std::nullopt;
        return KeyProblem{*fault, Value<int>(data, "line")};
    }
    if (kind == "stall") {
        const auto wait = kStallWaits(data, "waited_for");
        if (!wait) return std::nullopt;
        return StallReason{*wait, Value<std::string>(data, "address"),
                           Value<int>(data, "echo_count"), Value<int>(data, "echo_length"),
                           std::chrono::milliseconds(Value<int64_t>(data, "waited_ms"))};
    }
    if (kind == "unexpected") return UnexpectedProblem{Value<std::string>(data, "text")};
    return std::nullopt;
}
}  // namespace

nlohmann::ordered_json CauseJson(const BoardCause& cause) {
    nlohmann::ordered_json out;
    out["fault"] = kBoardFaults(cause.fault);
    std::visit(Writer{out}, cause.problem);
    return out;
}

std::optional<BoardCause> CauseFromJson(const Json& data) {
    if (!data.is_object()) return std::nullopt;
    const auto fault = kBoardFaults(data, "fault");
    const auto problem = ProblemFromJson(data);
    if (!fault || !problem) return std::nullopt;
    return BoardCause{*fault, *problem};
}
