#include "preview/PngWriter.h"

#include <new>
#include <stdexcept>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace plotalon {

namespace {

void PutBigEndian(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(char((v >> shift) & 0xFF));
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
    PutBigEndian(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out += type;
    out += data;
    const auto* body = reinterpret_cast<const Bytef*>(out.data() + start);
    PutBigEndian(out, std::uint32_t(crc32(crc32(0, nullptr, 0), body, uInt(out.size() - start))));
}

// Deflates the filtered rows one at a time, so that the filtered picture is never held whole.
class TRowDeflater {
public:
    TRowDeflater() {
        // Level 3: a busy picture of thousands of antialiased lines takes half the time of
        // the default level, and line art comes out hardly larger.
        if (deflateInit(&stream_, 3) != Z_OK) throw std::bad_alloc();
    }
    ~TRowDeflater() { deflateEnd(&stream_); }
    TRowDeflater(const TRowDeflater&) = delete;
    TRowDeflater& operator=(const TRowDeflater&) = delete;

    void Put(std::span<const std::uint8_t> bytes, bool last) {
        stream_.next_in = const_cast<Bytef*>(bytes.data());
        stream_.avail_in = uInt(bytes.size());
        const int flush = last ? Z_FINISH : Z_NO_FLUSH;
        int result = Z_OK;
        do {
            std::uint8_t chunk[1 << 15];
            stream_.next_out = chunk;
            stream_.avail_out = sizeof chunk;
            result = deflate(&stream_, flush);
            if (result == Z_STREAM_ERROR) throw std::logic_error("deflate");
            Out.append(reinterpret_cast<const char*>(chunk), sizeof chunk - stream_.avail_out);
        } while (stream_.avail_out == 0 || (last && result != Z_STREAM_END));
    }

    std::string Out;

private:
    z_stream stream_{};
};

} // namespace

std::string EncodePng(int width, int height, std::span<const std::uint8_t> rgb) {
    const std::size_t stride = std::size_t(width) * 3;
    TRowDeflater deflater;
    std::vector<std::uint8_t> row(stride + 1);
    row[0] = 2; // "Up": each byte minus the one above it
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = rgb.data() + std::size_t(y) * stride;
        const std::uint8_t* above = y > 0 ? line - stride : nullptr;
        for (std::size_t i = 0; i < stride; ++i)
            row[i + 1] = std::uint8_t(line[i] - (above ? above[i] : 0));
        deflater.Put(row, y + 1 == height);
    }
    if (height == 0) deflater.Put({}, true);

    std::string header;
    PutBigEndian(header, std::uint32_t(width));
    PutBigEndian(header, std::uint32_t(height));
    header += std::string_view("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no interlace

    std::string png = "\x89PNG\r\n\x1A\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", deflater.Out);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace plotalon
