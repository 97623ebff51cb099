#pragma once
// NC file bytes split into lines as the editor loads them: CR LF, LF and a lone CR each end a
// line, a NUL byte ends the text, and a final line break starts no further line. The
// splitter takes the bytes in pieces of any size, so a file of any length is read in
// constant memory: only the line still being collected is held.

#include <bit>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plotalon {

class TSourceLineSplitter {
public:
    // Calls visit(std::string_view) for every line that bytes complete. The view is valid
    // during the call only. After a NUL byte the text has ended and further bytes are ignored.
    template <typename Visit> void Feed(std::string_view bytes, Visit&& visit);
    // Ends the text: the line still being collected, if it holds anything, is the last one.
    template <typename Visit> void End(Visit&& visit);
    // True once a NUL byte has ended the text.
    bool Ended() const { return done_; }

private:
    std::string partial_;  // bytes of the line that the next piece continues
    bool afterCr_ = false; // the previous piece ended in CR: an LF at the start belongs to it
    bool done_ = false;
};

// The whole text at once.
std::vector<std::string> SplitSourceText(std::string_view bytes);

// The index of the first CR, LF or NUL in bytes from `from` on; bytes.size() where there is
// none. Sixteen bytes at a time where the processor has SSE2 (every x86-64 has).
inline std::size_t FindLineEnd(std::string_view bytes, std::size_t from) {
    const char* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i ends = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, nul));
        if (const int mask = _mm_movemask_epi8(ends))
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
    }
#endif
    for (; i < size; ++i)
        if (data[i] == '\r' || data[i] == '\n' || data[i] == '\0') return i;
    return size;
}

template <typename Visit> void TSourceLineSplitter::Feed(std::string_view bytes, Visit&& visit) {
    std::size_t i = 0;
    if (done_) return;
    if (afterCr_ && !bytes.empty()) {
        afterCr_ = false;
        if (bytes[0] == '\n') i = 1;
    }
    std::size_t start = i;
    for (; (i = FindLineEnd(bytes, i)) < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\0') {
            partial_.append(bytes.data() + start, i - start);
            done_ = true;
            return;
        }
        if (partial_.empty()) {
            visit(bytes.substr(start, i - start));
        } else {
            partial_.append(bytes.data() + start, i - start);
            visit(std::string_view(partial_));
            partial_.clear();
        }
        if (c == '\r') {
            if (i + 1 == bytes.size())
                afterCr_ = true;
            else if (bytes[i + 1] == '\n')
                ++i;
        }
        start = i + 1;
    }
    partial_.append(bytes.data() + start, bytes.size() - start);
}

template <typename Visit> void TSourceLineSplitter::End(Visit&& visit) {
    if (!partial_.empty()) visit(std::string_view(partial_));
    partial_.clear();
    done_ = true;
}

} // namespace plotalon
