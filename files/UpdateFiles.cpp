// SPDX-License-Identifier: MIT
#include "files/UpdateFiles.h"

#include "files/SystemConfig.h"
#include "files/SystemFile.h"

namespace {
// No such file, or (Windows' "path not found") not even its folder: nothing is there.
bool Absent(const EInOutError& error) {
    return error.Fault() == FileFault::NotFound || error.Fault() == FileFault::InvalidName;
}
}  // namespace

StationKeys ReadStationKeys() {
    StationKeys keys;
    keys.file = SystemTrustedKeysPath();
    try {
        keys.text = ReadFileBytes(keys.file);
    } catch (const EInOutError& error) {
        if (!Absent(error)) {
            KeyProblem problem;
            problem.fault = KeyFault::FileUnreadable;
            problem.keysFile = keys.file;
            problem.fileFault = error.Fault();
            problem.fileCode = error.Code();
            throw EKeyError(std::move(problem));
        }
    }
    return keys;
}

SignatureFile ReadSignatureFile(const std::string& updateFile) {
    SignatureFile signature;
    signature.name = SignatureFileOf(updateFile);
    try {
        // One byte past the limit is enough to refuse it, and a device named in its place holds
        // nothing up.
        signature.text = ReadFileStart(signature.name, kSignatureTextLimit + 1);
    } catch (const EInOutError& error) {
        if (error.Fault() != FileFault::NotFound) {
            SignatureProblem problem;
            problem.fault = SignatureFault::Unreadable;
            problem.signatureFile = signature.name;
            problem.fileFault = error.Fault();
            problem.fileCode = error.Code();
            problem.detail = error.what();
            signature.unreadable = std::move(problem);
        }
    }
    return signature;
}

UpdateInput ReadUpdateInput(const std::string& path) {
    UpdateInput input;
    input.bytes = ReadFileBytes(path);
    input.signature = ReadSignatureFile(path);
    return input;
}

PreparedUpdate PrepareUpdateFile(const std::string& path, const UpdateDemands& demands,
                                 ConvertedUpdate& lists, ProgressGauge& gauge) {
    lists.recordList.clear();
    lists.transferScript.clear();
    StationKeys keys;
    UpdateInput input;
    try {
        // Read at every preparation: a key the supervisor installs counts from the next one on.
        keys = ReadStationKeys();
        input = ReadUpdateInput(path);
    } catch (...) {
        lists.ScriptLineCount = 0;
        throw;
    }
    return PrepareUpdate(std::move(input), keys, demands, lists, gauge);
}

std::optional<ReleaseSignature> CheckReleaseSignature(const std::string& updateFile,
                                                      std::string_view bytes,
                                                      const SignaturePolicy& policy) {
    return CheckRelease(bytes, ReadSignatureFile(updateFile), policy);
}

FileDigest DigestFile(const std::string& path) {
    return DigestBytes(ReadFileBytes(path));
}
