// SPDX-License-Identifier: MIT
#include "loader/TransferScript.h"

#include <string_view>

#include "loader/HexField.h"
#include "base/HexDigits.h"

namespace {
class BlockLine {
public:
    void Open(std::string_view address) {
        address_.assign(address);
        count_ = 0;
        data_.clear();
    }
    void Add(int32_t count, std::string_view data) {
        count_ += count;
        data_.append(data);
    }
    bool Empty() const { return count_ == 0; }
    std::string Text() const {
        std::string text;
        text.reserve(16 + data_.size());
        text.append("cmd 02:").append(address_).append(" ");
        text.append(HexDigits(static_cast<uint32_t>(count_), 2)).append(" ").append(data_);
        return text;
    }

private:
    std::string address_;
    int32_t count_ = 0;
    std::string data_;
};
}  // namespace

std::vector<std::string> BuildTransferScript(const std::vector<std::string>& recordList) {
    std::vector<std::string> script;
    BlockLine block;
    bool lineZeroBlock = false;  // the pending block is the one line 0 opened
    for (size_t i = 0; i < recordList.size(); ++i) {
        std::string_view line = recordList[i];
        std::string_view kind = TextColumns(line, 5, 2);
        if (kind == "01" || kind == "03") {
            // A page whose data begin in a later block opens no block of its own. The block of
            // line 0 is sent even without data: the boot loader takes a block after its first
            // page command.
            if (lineZeroBlock || (i != 0 && !block.Empty())) script.push_back(block.Text());
            lineZeroBlock = i == 0;
            block.Open(TextColumns(line, 8, 4));
            if (kind == "01") script.emplace_back(line);
        } else if (kind == "02") {
            int32_t n = HexFieldToInt(TextColumns(line, 13, 2));
            block.Add(n, TextColumns(line, 16, 2 * static_cast<size_t>(n)));
        }
    }
    script.push_back(block.Text());
    return script;
}
