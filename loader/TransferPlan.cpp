// SPDX-License-Identifier: MIT
#include "loader/TransferPlan.h"

#include <algorithm>

#include "loader/HexField.h"

namespace {
constexpr int64_t kCommandBytes = 3;  // command byte and address; the end command too
constexpr int64_t kBlockSize = 128;
}  // namespace

TransferPlan PlanTransfer(const std::vector<std::string>& script) {
    TransferPlan plan;
    if (script.empty()) return plan;
    // Line 0 stands for the first page command, sent as a fixed frame.
    plan.pages = 1;
    plan.frameBytes = kCommandBytes;
    for (size_t i = 1; i < script.size(); ++i) {
        const std::string_view kind = TextColumns(script[i], 5, 2);
        if (kind == "02") {
            const int64_t count = HexFieldToInt(TextColumns(script[i], 13, 2));
            ++plan.blocks;
            plan.frameBytes += kCommandBytes + std::max(count, kBlockSize);
        } else {
            ++plan.pages;
            plan.frameBytes += kCommandBytes;
        }
    }
    plan.answers = plan.pages + plan.blocks;
    plan.frameBytes += kCommandBytes;  // the end command
    return plan;
}
