// SPDX-License-Identifier: MIT
#include "loader/RecordList.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <numeric>

#include "base/HexDigits.h"
#include "loader/UpdateImage.h"

namespace {
using Piece = UpdateImage::Piece;

class RecordListWriter {
public:
    explicit RecordListWriter(const UpdateImage& image) : image_(image) {
        lines_.emplace_back("cmd 01:0000");
    }

    // Pieces come in address order; bytes an earlier piece listed already (a byte the file gives
    // twice with the same value) are left out.
    void Add(const Piece& piece) {
        const uint32_t end = piece.address + piece.length;
        const uint32_t start = std::max<uint32_t>(piece.address, listedEnd_);
        if (start >= end) return;
        const bool whole = piece.asWritten && start == piece.address;

        const uint32_t block = start & ~(UpdateImage::kBlockSize - 1);
        const uint32_t page = start & ~(UpdateImage::kPageSize - 1);
        if (page != page_) {
            lines_.push_back("cmd 01:" + BaseText(piece, whole, start, page));
            if (block != page) lines_.push_back("cmd 03:" + BaseText(piece, whole, start, block));
            page_ = page;
            block_ = block;
            expected_ = block;
        } else if (block != block_) {
            lines_.push_back("cmd 03:" + BaseText(piece, whole, start, block));
            block_ = block;
            expected_ = block;
        }
        assert(start >= expected_ && end <= block_ + UpdateImage::kBlockSize);

        if (start > expected_) {
            std::string filler =
                "cmd 02:" + HexDigits(expected_, 4) + " " + HexDigits(start - expected_, 2) + " ";
            filler.append(2 * static_cast<size_t>(start - expected_), '0');
            lines_.push_back(std::move(filler));
        }
        std::string data = "cmd 02:";
        data.reserve(15 + 2 * static_cast<size_t>(end - start));
        if (whole) {
            data.append(piece.addressText.data(), 4).append(" ");
            data.append(piece.lengthText.data(), 2).append(" ");
        } else {
            data.append(HexDigits(start, 4)).append(" ").append(HexDigits(end - start, 2));
            data.append(" ");
        }
        for (uint32_t a = start; a < end; ++a)
            data.append(image_.Text(a));
        lines_.push_back(std::move(data));
        expected_ = end;
        listedEnd_ = end;
    }

    std::vector<std::string> Take() { return std::move(lines_); }

private:
    // A page or block opened by a record at its very base keeps that record's address text.
    static std::string BaseText(const Piece& piece, bool whole, uint32_t start, uint32_t base) {
        if (whole && start == base) return std::string(piece.addressText.data(), 4);
        return HexDigits(base, 4);
    }

    const UpdateImage& image_;
    std::vector<std::string> lines_;
    uint32_t page_ = 0;       // base address of the current page
    uint32_t block_ = 0;      // base address of the current block
    uint32_t expected_ = 0;   // next address of the current block not listed yet
    uint32_t listedEnd_ = 0;  // end of everything listed so far
};
}  // namespace

std::vector<std::string> BuildRecordList(const UpdateImage& image) {
    const std::vector<Piece>& pieces = image.Pieces();
    std::vector<uint32_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0u);
    // Stable, so that of a byte given twice the file's first record is listed.
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return pieces[a].address < pieces[b].address; });
    RecordListWriter writer(image);
    for (uint32_t i : order)
        writer.Add(pieces[i]);
    return writer.Take();
}
