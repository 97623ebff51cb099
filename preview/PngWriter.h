#pragma once
// PNG files of RGB pictures, with a small deflate encoder of our own (fixed Huffman codes and
// LZ77 matches), so that the converter needs no image library. Line art on white compresses
// to a few percent of its raw size.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plotalon {

// A zlib stream (RFC 1950 around RFC 1951 deflate) of data.
std::string ZlibCompress(std::string_view data);

// rgb: height rows of width pixels, three bytes each, top row first.
std::string EncodePng(int width, int height, std::span<const std::uint8_t> rgb);

} // namespace plotalon
