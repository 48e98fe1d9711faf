#include "loader/TransferScript.h"

#include <cstdio>
#include <string_view>

#include "loader/HexField.h"

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
    std::string Text() const {
        char count[16];
        std::snprintf(count, sizeof count, "%02X", static_cast<unsigned>(count_));
        std::string text;
        text.reserve(16 + data_.size());
        text.append("cmd 02:").append(address_).append(" ").append(count).append(" ").append(data_);
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
    for (size_t i = 0; i < recordList.size(); ++i) {
        std::string_view line = recordList[i];
        std::string_view kind = TextColumns(line, 5, 2);
        if (kind == "01" || kind == "03") {
            if (i != 0) script.push_back(block.Text());
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
