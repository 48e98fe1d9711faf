// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "loader/TransferPlan.h"
#include "loader/UpdateImage.h"
#include "words/Words.h"

std::string ByteCountText(int64_t count) {
    return Fill(TrN("%1 byte", "%1 bytes", static_cast<unsigned long>(count)),
                {std::to_string(count)});
}

std::string PlanPagesText(const TransferPlan& plan) {
    return Fill(TrN("%1 page command (%2 bytes a page)", "%1 page commands (%2 bytes a page)",
                    static_cast<unsigned long>(plan.pages)),
                {std::to_string(plan.pages), std::to_string(UpdateImage::kPageSize)});
}

std::string PlanBlocksText(const TransferPlan& plan) {
    return Fill(
        TrN("%1 block command (%2 data bytes each)", "%1 block commands (%2 data bytes each)",
            static_cast<unsigned long>(plan.blocks)),
        {std::to_string(plan.blocks), std::to_string(UpdateImage::kBlockSize)});
}

std::string PlanLineText(const TransferPlan& plan) {
    return Fill(Tr("%1 sent, %2: at least %3 s at %4 bit/s, %5 bits a byte"),
                {ByteCountText(plan.frameBytes),
                 Fill(TrN("%1 answer", "%1 answers", static_cast<unsigned long>(plan.answers)),
                      {std::to_string(plan.answers)}),
                 DecimalText(plan.Seconds(), 1), DecimalText(kLineBitsPerSecond, 0),
                 DecimalText(kLineBitsPerByte, 0)});
}
