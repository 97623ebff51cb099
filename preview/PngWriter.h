#pragma once
// PNG files of RGB pictures, compressed by zlib. Every row is filtered with "Up", so that the
// paper between the lines and a row that repeats the one above shrink to runs of zeros.

#include <cstdint>
#include <span>
#include <string>

namespace plotalon {

// rgb: height rows of width pixels, three bytes each, top row first. Raises std::bad_alloc
// when zlib runs out of memory.
std::string EncodePng(int width, int height, std::span<const std::uint8_t> rgb);

} // namespace plotalon
