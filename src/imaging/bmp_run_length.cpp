// Decoding run-length coded bitmap pixels: the code walk shared by the whole picture and its rows.
#include "imaging/bmp_run_length.h"

#include <algorithm>
#include <cstring>

#include "imaging/pixels.h"

namespace tavo {
namespace {

// Walks the codes of one row after another from a position.
class CodeWalker {
public:
    CodeWalker(const RunLengthPicture& picture, const DeviceInk& ink, CodePosition at)
        : p_(picture), ink_(ink), at_(at) {}

    const CodePosition& At() const { return at_; }

    // Decodes the codes of the current row, writing its pixels into `row` when
    // one is given. True when the codes go on in a later row of the picture,
    // false when the picture ends.
    bool DecodeRow(uint8_t* row) {
        while (Has(2)) {
            const uint8_t count = p_.codes[at_.pos];
            const uint8_t value = p_.codes[at_.pos + 1];
            at_.pos += 2;
            if (count > 0) {
                EncodedRun(row, count, value);
                continue;
            }
            switch (value) {
                case 0:  // end of line
                    return NextRow(1, 0);
                case 1:  // end of picture
                    return false;
                case 2:
                    if (!Has(2)) return false;
                    if (const int down = Delta()) return NextRow(down, at_.x);
                    continue;
                default:
                    if (!Literal(row, value)) return false;
            }
        }
        return false;
    }

private:
    bool Has(size_t n) const { return n <= p_.size - at_.pos; }

    // Moves right within the row; returns how many rows the delta moves down.
    int Delta() {
        const int right = p_.codes[at_.pos];
        const int down = p_.codes[at_.pos + 1];
        at_.pos += 2;
        at_.x = std::min(at_.x + right, p_.width);
        return down;
    }

    bool NextRow(int step, int x) {
        at_.row += step;
        at_.x = x;
        return at_.row < p_.height;
    }

    uint8_t Nibble(uint8_t byte, int i) const { return (i & 1) ? byte & 0xF : byte >> 4; }

    void EncodedRun(uint8_t* row, int count, uint8_t value) {
        const int n = std::min(count, p_.width - at_.x);
        for (int i = 0; row && i < n; ++i)
            ink_.Put(row, at_.x + i, p_.fourBit ? Nibble(value, i) : value);
        at_.x += n;
    }

    // The pixels follow the code, padded to an even number of bytes.
    bool Literal(uint8_t* row, int count) {
        const size_t bytes = p_.fourBit ? static_cast<size_t>(count + 1) / 2 : static_cast<size_t>(count);
        if (!Has(bytes)) return false;
        const uint8_t* src = p_.codes + at_.pos;
        const int n = std::min(count, p_.width - at_.x);
        for (int i = 0; row && i < n; ++i)
            ink_.Put(row, at_.x + i, p_.fourBit ? Nibble(src[i / 2], i) : src[i]);
        at_.x += n;
        at_.pos += std::min(bytes + (bytes & 1), p_.size - at_.pos);
        return true;
    }

    const RunLengthPicture& p_;
    const DeviceInk& ink_;
    CodePosition at_;
};

std::vector<uint8_t> BlankRow(const Bitmap& layout, const DeviceInk& ink, int width) {
    std::vector<uint8_t> row(static_cast<size_t>(RowStride(width, layout.BitCount())), 0);
    for (int x = 0; x < width; ++x)
        ink.Put(row.data(), x, 0);
    return row;
}

}  // namespace

DeviceInk::DeviceInk(const Bitmap& device, const std::vector<RgbQuad>& table) : bitCount_(device.BitCount()) {
    const PixelWriter writer(device);
    for (size_t i = 0; i < 256; ++i) {
        const RgbQuad colour = i < table.size() ? table[i] : MakeRgb(0, 0, 0);
        if (bitCount_ <= 8)
            index_[i] = writer.Match(colour);
        else
            writer.Write(value_[i], 0, colour);
    }
}

void DeviceInk::Put(uint8_t* row, int x, uint8_t index) const {
    switch (bitCount_) {
        case 1: {
            const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
            row[x >> 3] = static_cast<uint8_t>(index_[index] ? row[x >> 3] | bit : row[x >> 3] & ~bit);
            return;
        }
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0xF << shift)) | (index_[index] << shift));
            return;
        }
        case 8:
            row[x] = index_[index];
            return;
        default: {
            const size_t bytes = static_cast<size_t>(bitCount_ / 8);
            std::memcpy(row + bytes * static_cast<size_t>(x), value_[index], bytes);
        }
    }
}

void DecodeRunLength(const RunLengthPicture& picture, Bitmap& out) {
    const DeviceInk ink(out, picture.table);
    const std::vector<uint8_t> blank = BlankRow(out, ink, picture.width);
    for (int y = 0; y < out.Height(); ++y)
        std::memcpy(out.Row(y), blank.data(), out.Stride());
    CodeWalker walker(picture, ink, CodePosition{});
    while (walker.DecodeRow(out.Row(picture.height - 1 - walker.At().row))) {
    }
}

RunLengthRows::RunLengthRows(RunLengthPicture picture, const Bitmap& layout)
    : picture_(std::move(picture)), layout_(layout), ink_(layout_, picture_.table) {
    blank_ = BlankRow(layout_, ink_, picture_.width);
    CodeWalker walker(picture_, ink_, CodePosition{});
    do {
        starts_.push_back(walker.At());
    } while (walker.DecodeRow(nullptr));
}

const uint8_t* RunLengthRows::Row(int y) {
    const int stored = picture_.height - 1 - y;
    if (stored == decoded_) return row_.data();
    decoded_ = stored;
    row_ = blank_;
    const auto start = std::lower_bound(starts_.begin(), starts_.end(), stored,
                                        [](const CodePosition& s, int row) { return s.row < row; });
    if (start != starts_.end() && start->row == stored) {
        CodeWalker walker(picture_, ink_, *start);
        walker.DecodeRow(row_.data());
    }
    return row_.data();
}

}  // namespace tavo
