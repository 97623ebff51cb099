#include "preview/PngWriter.h"

#include <algorithm>
#include <array>
#include <vector>

namespace plotalon {

namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
constexpr int kHashBits = 15;
constexpr int kMaxChain = 48;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Deflate writes its bits from the least significant end of each byte.
class TBitWriter {
public:
    explicit TBitWriter(std::string& out) : Out(out) {}
    void Put(std::uint32_t value, int count) {
        Bits |= std::uint64_t(value) << Filled;
        Filled += count;
        while (Filled >= 8) {
            Out.push_back(char(Bits & 0xFF));
            Bits >>= 8;
            Filled -= 8;
        }
    }
    // Huffman codes go most significant bit first.
    void PutCode(std::uint32_t code, int length) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((code >> i) & 1u) << (length - 1 - i);
        Put(reversed, length);
    }
    void Finish() {
        if (Filled > 0) Put(0, 8 - Filled);
    }

private:
    std::string& Out;
    std::uint64_t Bits = 0;
    int Filled = 0;
};

// The fixed literal/length code of deflate.
void PutSymbol(TBitWriter& bits, unsigned symbol) {
    if (symbol < 144)
        bits.PutCode(0x30 + symbol, 8);
    else if (symbol < 256)
        bits.PutCode(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        bits.PutCode(symbol - 256, 7);
    else
        bits.PutCode(0xC0 + symbol - 280, 8);
}

template <std::size_t N>
std::size_t CodeIndex(const std::array<std::uint16_t, N>& bases, std::size_t value) {
    return std::size_t(std::upper_bound(bases.begin(), bases.end(), value) - bases.begin()) - 1;
}

void PutMatch(TBitWriter& bits, std::size_t length, std::size_t distance) {
    const std::size_t l = CodeIndex(kLengthBase, length);
    PutSymbol(bits, unsigned(257 + l));
    bits.Put(std::uint32_t(length - kLengthBase[l]), kLengthExtra[l]);
    const std::size_t d = CodeIndex(kDistanceBase, distance);
    bits.PutCode(std::uint32_t(d), 5);
    bits.Put(std::uint32_t(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// Greedy LZ77 over hash chains of three-byte prefixes.
class TMatcher {
public:
    explicit TMatcher(std::string_view data)
        : Data(data), Head(std::size_t(1) << kHashBits, kNone), Prev(kWindow, kNone) {}

    void Insert(std::size_t at) {
        if (at + kMinMatch > Data.size()) return;
        const std::uint32_t h = Hash(at);
        Prev[at % kWindow] = Head[h];
        Head[h] = std::uint32_t(at);
    }
    // The longest earlier match at `at` (length 0 if none of at least kMinMatch bytes).
    std::size_t Find(std::size_t at, std::size_t& distance) const {
        if (at + kMinMatch > Data.size()) return 0;
        const std::size_t limit = std::min(kMaxMatch, Data.size() - at);
        std::size_t best = 0;
        std::uint32_t candidate = Head[Hash(at)];
        for (int chain = 0; candidate != kNone && chain < kMaxChain; ++chain) {
            if (candidate >= at || at - candidate > kWindow) break;
            std::size_t length = 0;
            while (length < limit && Data[candidate + length] == Data[at + length])
                ++length;
            if (length > best) {
                best = length;
                distance = at - candidate;
                if (best == limit) break;
            }
            const std::uint32_t next = Prev[candidate % kWindow];
            if (next >= candidate) break; // the slot was reused by a later position
            candidate = next;
        }
        return best >= kMinMatch ? best : 0;
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    std::uint32_t Hash(std::size_t at) const {
        const std::uint32_t v = std::uint32_t(std::uint8_t(Data[at])) |
                                std::uint32_t(std::uint8_t(Data[at + 1])) << 8 |
                                std::uint32_t(std::uint8_t(Data[at + 2])) << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }
    std::string_view Data;
    std::vector<std::uint32_t> Head, Prev;
};

std::uint32_t Adler32(std::string_view data) {
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < data.size();) {
        // 5552 bytes is the most that cannot overflow b before the reduction.
        const std::size_t end = std::min(data.size(), i + 5552);
        for (; i < end; ++i) {
            a += std::uint8_t(data[i]);
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    return b << 16 | a;
}

std::uint32_t Crc32(std::string_view data, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (char ch : data)
        crc = table[(crc ^ std::uint8_t(ch)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBigEndian(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(char((v >> shift) & 0xFF));
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
    PutBigEndian(out, std::uint32_t(data.size()));
    std::string body(type);
    body += data;
    out += body;
    PutBigEndian(out, Crc32(body));
}

} // namespace

std::string ZlibCompress(std::string_view data) {
    std::string out = "\x78\x01"; // deflate, 32 KiB window; 0x7801 is a multiple of 31
    TBitWriter bits(out);
    bits.Put(1, 1); // the last block
    bits.Put(1, 2); // fixed Huffman codes
    TMatcher matcher(data);
    for (std::size_t i = 0; i < data.size();) {
        std::size_t distance = 0;
        const std::size_t length = matcher.Find(i, distance);
        if (length == 0) {
            PutSymbol(bits, std::uint8_t(data[i]));
            matcher.Insert(i++);
            continue;
        }
        PutMatch(bits, length, distance);
        for (const std::size_t end = i + length; i < end; ++i)
            matcher.Insert(i);
    }
    PutSymbol(bits, 256);
    bits.Finish();
    PutBigEndian(out, Adler32(data));
    return out;
}

std::string EncodePng(int width, int height, std::span<const std::uint8_t> rgb) {
    const std::size_t stride = std::size_t(width) * 3;
    std::string raw;
    raw.reserve((stride + 1) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0'); // no filter: LZ77 finds the runs of paper by itself
        const auto row = rgb.subspan(std::size_t(y) * stride, stride);
        raw.append(reinterpret_cast<const char*>(row.data()), row.size());
    }
    std::string header;
    PutBigEndian(header, std::uint32_t(width));
    PutBigEndian(header, std::uint32_t(height));
    header += std::string_view("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no interlace

    std::string png = "\x89PNG\r\n\x1A\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibCompress(raw));
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace plotalon
