// Why the store is built as it is (packed records in page blocks, texts in shared blocks):
// measured with bench_editor (a 100 MB NC file of 6.8 million lines loaded three times, CPU
// time user+sys of the whole run, peak resident set) and bench_linememory (5 million blocks
// converted into a detached list, again while the first result is held), on a shared 2-core
// machine, against the plain forms one change away:
//
//                                       3 loads, CPU     load peak   convert 5 M   again
//   records in page blocks, text blocks   1.3 s            254 MB       579 MB      933 MB
//   records in a realloc'd heap array     3.0 s            250 MB       616 MB      968 MB
//   records in a vector (copy, doubling)  5.9 s            296 MB       807 MB     1158 MB
//   each text its own heap allocation     4.5 s            370 MB       764 MB     1219 MB
//
// The heap array is no smaller and costs twice the time (4 KiB page faults, a remap per
// growth of a quarter); a vector adds the copy and a double peak at every growth; one
// allocation per text adds a malloc header and rounding to every short line. So the packed
// records and the text blocks stay.

#include "editor/CodeEditStringList.h"

#include "editor/CodeEditFiler.h"
#include "platform/VirtualMemory.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <utility>

namespace plotalon {

namespace {

std::string IndexMessage(long long index) {
    std::string message = "Invalid stringlist index %d";
    message.replace(message.find("%d"), 2, std::to_string(index));
    return message;
}

bool IsPowerOfTwoWidth(int width) {
    return width >= 2 && width <= 65536 && (width & (width - 1)) == 0;
}

// Blanks that a tab at column col needs to reach the next tab stop.
template <bool Pow2> std::size_t TabPad(std::size_t col, std::size_t width) {
    if constexpr (Pow2)
        return width - (col & (width - 1));
    else
        return width - col % width;
}

// From tab to tab, so that a line without tabs (nearly every NC and HPGL line) costs one
// search for the byte.
template <bool Pow2>
std::size_t MeasureWith(std::string_view text, std::size_t width, bool& hadTabs) {
    std::size_t col = 0;
    hadTabs = false;
    for (std::size_t from = 0;;) {
        const std::size_t tab = text.find('\t', from);
        if (tab == std::string_view::npos) return col + (text.size() - from);
        hadTabs = true;
        col += tab - from;
        col += TabPad<Pow2>(col, width);
        from = tab + 1;
    }
}

template <bool Pow2>
std::string ExpandWith(std::string_view text, std::size_t width, bool& hadTabs) {
    std::string out;
    out.reserve(text.size());
    hadTabs = false;
    for (char c : text) {
        if (c == '\t') {
            hadTabs = true;
            out.append(TabPad<Pow2>(out.size(), width), ' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::size_t MeasureTabs(std::string_view text, int width, bool& hadTabs) {
    if (width <= 1) {
        hadTabs = text.find('\t') != std::string_view::npos;
        return text.size();
    }
    if (IsPowerOfTwoWidth(width)) return MeasureWith<true>(text, std::size_t(width), hadTabs);
    return MeasureWith<false>(text, std::size_t(width), hadTabs);
}

} // namespace

ECodeEditStringList::ECodeEditStringList(long long index) : Exception(IndexMessage(index)) {}

std::string ExpandTabs(std::string_view text, int width, bool& hadTabs) {
    if (width <= 1) {
        std::string out(text);
        std::replace(out.begin(), out.end(), '\t', ' ');
        hadTabs = text.find('\t') != std::string_view::npos;
        return out;
    }
    if (IsPowerOfTwoWidth(width)) return ExpandWith<true>(text, std::size_t(width), hadTabs);
    return ExpandWith<false>(text, std::size_t(width), hadTabs);
}

// ---------------------------------------------------------------------------------------
// Storage. A loaded file has millions of short lines, so a line record is kept to 24 bytes:
// the expanded length shares a word with the flags, the own-allocation mark shares one with
// the length, and attached objects live in a parallel array that exists only once an object
// is set. Records are trivially copyable: a small array grows with realloc, a big one in a
// mapping that is remapped rather than copied (no double peak while loading).
// Texts of appended lines live in shared blocks (one allocation per block, not per line);
// inserted and replaced lines get an allocation of their own, freed with the line.

namespace {
// Big storage lives in blocks of huge pages: a loaded file touches hundreds of megabytes once,
// and faulting them in 4 KiB at a time costs more than reading the file, above all on a
// virtual machine.
constexpr std::uint32_t kOwnAllocation = 0x80000000u;
constexpr std::uint32_t kMaxLineLength = 0x7FFFFFFFu;
constexpr int kFlagShift = 29;
constexpr std::uint32_t kExpandedMask = (1u << kFlagShift) - 1;
} // namespace

struct TCodeEditStringList::TLineRecord {
    char* Data;
    std::uint32_t LengthBits;   // length; kOwnAllocation when Data is the line's own block
    std::uint32_t ExpandedBits; // expanded length in the low 29 bits, the flags above
    TCodeRange Range;

    std::uint32_t Length() const { return LengthBits & kMaxLineLength; }
    bool OwnsText() const { return (LengthBits & kOwnAllocation) != 0; }
    std::string_view Text() const { return {Data, Length()}; }
    std::uint8_t Flags() const { return std::uint8_t(ExpandedBits >> kFlagShift); }
    std::int32_t Expanded() const { return std::int32_t(ExpandedBits & kExpandedMask); }
    void SetExpanded(std::size_t length, std::uint8_t flags) {
        ExpandedBits = std::uint32_t(std::min<std::size_t>(length, kExpandedMask)) |
                       std::uint32_t(flags) << kFlagShift;
    }
    void MarkExpandedUnknown() {
        ExpandedBits |= std::uint32_t(kLineExpandedUnknown) << kFlagShift;
    }
};

class TCodeEditStringList::TTextArena {
public:
    static constexpr std::size_t kLargestText = 4096; // longer texts get their own allocation

    ~TTextArena() { Reset(); }

    char* Allocate(std::size_t n) {
        if (free_ < n) NewBlock();
        char* p = next_;
        next_ += n;
        free_ -= n;
        return p;
    }
    void Reset() {
        for (const TBlock& b : blocks_) {
            if (b.Size >= kHugePageSize)
                ReleasePages(b.Data, b.Size);
            else
                std::free(b.Data);
        }
        blocks_.clear();
        next_ = nullptr;
        free_ = 0;
        nextSize_ = kFirstBlock;
    }

#ifndef NDEBUG
    bool Empty() const {
        return blocks_.empty();
    }
    // Whether [p, p + n) lies in one block; the newest first, where added lines are.
    bool Holds(const char* p, std::size_t n) const {
        for (auto b = blocks_.rbegin(); b != blocks_.rend(); ++b)
            if (p >= b->Data && p <= b->Data + b->Size && n <= std::size_t(b->Data + b->Size - p))
                return true;
        return false;
    }
    // The free space is the rest of the newest block.
    bool FreeSpaceAddsUp() const {
        if (blocks_.empty()) return next_ == nullptr && free_ == 0;
        const TBlock& last = blocks_.back();
        return next_ >= last.Data && next_ + free_ == last.Data + last.Size;
    }
#endif

private:
    // Small lists stay small; big ones get blocks of huge pages.
    static constexpr std::size_t kFirstBlock = 16u << 10;
    struct TBlock {
        char* Data;
        std::size_t Size;
    };

    void NewBlock() {
        char* data = nextSize_ >= kHugePageSize ? static_cast<char*>(ReservePages(nextSize_))
                                                : static_cast<char*>(std::malloc(nextSize_));
        if (data == nullptr) throw std::bad_alloc();
        blocks_.push_back({data, nextSize_});
        next_ = data;
        free_ = nextSize_;
        nextSize_ = std::min(nextSize_ * 2, kHugePageSize);
    }

    std::vector<TBlock> blocks_;
    char* next_ = nullptr;
    std::size_t free_ = 0;
    std::size_t nextSize_ = kFirstBlock;
};

// Begin/end update around one changing operation: Finish() closes the nest normally; a guard
// left unfinished by an error closes it quietly, so that a failing handler does not replace
// the first error.
TCodeEditStringList::TCodeEditStringList() : arena_(std::make_unique<TTextArena>()) {}

TCodeEditStringList::~TCodeEditStringList() {
    OnChanged = nullptr;
    OnChanging = nullptr;
    FreeAll();
}

void TCodeEditStringList::BeginUpdate() {
    if (updates_++ == 0 && OnChanging) OnChanging();
}

void TCodeEditStringList::EndUpdate() {
    if (updates_ == 0) return;
    if (--updates_ == 0 && OnChanged) OnChanged();
}

void TCodeEditStringList::CheckIndex(long long index, long long limit) const {
    if (index < 0 || index >= limit) throw ECodeEditStringList(index);
}

void TCodeEditStringList::EnsureCapacity(std::size_t wanted) {
    if (wanted <= cap_) return;
    if (wanted > std::size_t(INT_MAX)) throw std::bad_alloc();
    if (objects_ != nullptr) {
        void* grown = std::realloc(static_cast<void*>(objects_), wanted * sizeof(std::intptr_t));
        if (grown == nullptr) throw std::bad_alloc();
        objects_ = static_cast<std::intptr_t*>(grown);
    }
    std::size_t bytes = wanted * sizeof(TLineRecord);
    if (reserved_ == 0 && bytes < kHugePageSize) {
        void* grown = std::realloc(static_cast<void*>(lines_), bytes);
        if (grown == nullptr) throw std::bad_alloc();
        lines_ = static_cast<TLineRecord*>(grown);
    } else if (reserved_ == 0) {
        // From here on the array lives in a mapping reserved ahead of its use; untouched
        // pages cost nothing, and growing it remaps pages instead of copying them.
        std::size_t reserve = RoundUpToHugePages(2 * bytes);
        void* mapped = ReservePages(reserve);
        if (size_ != 0)
            std::memcpy(mapped, static_cast<void*>(lines_), size_ * sizeof(TLineRecord));
        std::free(static_cast<void*>(lines_));
        lines_ = static_cast<TLineRecord*>(mapped);
        reserved_ = reserve;
    } else if (bytes > reserved_) {
        std::size_t reserve = RoundUpToHugePages(2 * bytes);
        lines_ =
            static_cast<TLineRecord*>(GrowPages(static_cast<void*>(lines_), reserved_, reserve));
        reserved_ = reserve;
    }
    cap_ = wanted;
}

void TCodeEditStringList::Grow() {
    std::size_t delta = cap_ > 64 ? cap_ / 4 : 16;
    EnsureCapacity(cap_ + delta);
}

void TCodeEditStringList::EnsureObjects() {
    if (objects_ != nullptr) return;
    objects_ = static_cast<std::intptr_t*>(
        std::calloc(std::max<std::size_t>(cap_, 1), sizeof(std::intptr_t)));
    if (objects_ == nullptr) throw std::bad_alloc();
}

TCodeEditStringList::TLineRecord TCodeEditStringList::MakeRecord(std::string_view text, bool bulk) {
    if (text.size() > kMaxLineLength) throw std::bad_alloc();
    TLineRecord r{nullptr, std::uint32_t(text.size()),
                  std::uint32_t(kLineExpandedUnknown) << kFlagShift, kUnscannedRange};
    if (text.empty()) return r;
    if (bulk && text.size() <= TTextArena::kLargestText) {
        r.Data = arena_->Allocate(text.size());
    } else {
        r.Data = static_cast<char*>(std::malloc(text.size()));
        if (r.Data == nullptr) throw std::bad_alloc();
        r.LengthBits |= kOwnAllocation;
        ++heapTexts_;
    }
    std::memcpy(r.Data, text.data(), text.size());
    return r;
}

void TCodeEditStringList::FreeText(TLineRecord& record) {
    if (record.OwnsText()) {
        std::free(record.Data);
        --heapTexts_;
    }
    record.Data = nullptr;
    record.LengthBits = 0;
}

void TCodeEditStringList::FreeAll() {
    for (std::size_t i = 0; i < size_ && heapTexts_ > 0; ++i)
        FreeText(lines_[i]);
    if (reserved_ != 0)
        ReleasePages(static_cast<void*>(lines_), reserved_);
    else
        std::free(static_cast<void*>(lines_));
    reserved_ = 0;
    std::free(static_cast<void*>(objects_));
    lines_ = nullptr;
    objects_ = nullptr;
    size_ = 0;
    cap_ = 0;
    arena_->Reset();
}

// Opens a gap of n records at index (capacity must suffice); new objects are 0.
void TCodeEditStringList::OpenGap(std::size_t index, std::size_t n) {
    if (index < size_) {
        std::memmove(static_cast<void*>(lines_ + index + n), lines_ + index,
                     (size_ - index) * sizeof(TLineRecord));
        if (objects_ != nullptr)
            std::memmove(objects_ + index + n, objects_ + index,
                         (size_ - index) * sizeof(std::intptr_t));
    }
    if (objects_ != nullptr) std::fill(objects_ + index, objects_ + index + n, 0);
    size_ += n;
}

// Removes n records from index on; their texts must have been freed.
void TCodeEditStringList::CloseGap(std::size_t index, std::size_t n) {
    if (n == 0) return; // an empty list has no record array to move within
    std::size_t after = size_ - index - n;
    std::memmove(static_cast<void*>(lines_ + index), lines_ + index + n,
                 after * sizeof(TLineRecord));
    if (objects_ != nullptr)
        std::memmove(objects_ + index, objects_ + index + n, after * sizeof(std::intptr_t));
    size_ -= n;
    if (size_ == 0 && heapTexts_ == 0) arena_->Reset();
}

int TCodeEditStringList::AddLine(std::string_view text) {
    TUpdateGuard guard(*this);
    if (size_ == cap_) Grow();
    lines_[size_] = MakeRecord(text, true);
    if (objects_ != nullptr) objects_[size_] = 0;
    ++size_;
    longestIndex_ = -1;
    CheckInvariants(size_ - 1, 1);
    int index = static_cast<int>(size_ - 1);
    if (OnLineAdded) OnLineAdded(index);
    guard.Finish();
    return index;
}

void TCodeEditStringList::InsertLine(int index, std::string_view text) {
    CheckIndex(index, static_cast<long long>(size_) + 1);
    TUpdateGuard guard(*this);
    if (size_ == cap_) Grow();
    TLineRecord record = MakeRecord(text, false);
    OpenGap(std::size_t(index), 1);
    lines_[index] = record;
    longestIndex_ = -1;
    CheckInvariants(std::size_t(index), 1);
    if (OnLineInserted) OnLineInserted(index);
    guard.Finish();
}

void TCodeEditStringList::DeleteLine(int index) {
    CheckIndex(index, static_cast<long long>(size_));
    TUpdateGuard guard(*this);
    FreeText(lines_[index]);
    CloseGap(std::size_t(index), 1);
    longestIndex_ = -1;
    CheckInvariants(std::size_t(index), 1);
    if (OnLineDeleted) OnLineDeleted(index);
    guard.Finish();
}

void TCodeEditStringList::DeleteLines(int index, int n) {
    if (n <= 0) return;
    CheckIndex(index, static_cast<long long>(size_) + 1);
    TUpdateGuard guard(*this);
    std::size_t first = std::size_t(index);
    std::size_t count = std::min(std::size_t(n), size_ - first);
    for (std::size_t i = first; i < first + count; ++i)
        FreeText(lines_[i]);
    CloseGap(first, count);
    longestIndex_ = -1;
    CheckInvariants(first, 1);
    if (OnLineDeleted) OnLineDeleted(index);
    guard.Finish();
}

void TCodeEditStringList::InsertLines(int index, int n) {
    if (n <= 0) return;
    CheckIndex(index, static_cast<long long>(size_) + 1);
    TUpdateGuard guard(*this);
    EnsureCapacity(size_ + std::size_t(n));
    OpenGap(std::size_t(index), std::size_t(n));
    for (std::size_t i = std::size_t(index); i < std::size_t(index) + std::size_t(n); ++i)
        lines_[i] = TLineRecord{nullptr, 0, 0, 0};
    longestIndex_ = -1;
    CheckInvariants(std::size_t(index), std::size_t(n));
    if (OnLineAdded) OnLineAdded(index);
    guard.Finish();
}

void TCodeEditStringList::ReplaceLine(int index, std::string_view text) {
    if (size_ == 0 && index == 0) {
        AddLine(text);
        return;
    }
    CheckIndex(index, static_cast<long long>(size_));
    TUpdateGuard guard(*this);
    TLineRecord fresh = MakeRecord(text, false);
    TLineRecord& r = lines_[index];
    FreeText(r);
    r.Data = fresh.Data;
    r.LengthBits = fresh.LengthBits;
    r.ExpandedBits = fresh.ExpandedBits;
    longestIndex_ = -1;
    CheckInvariants(std::size_t(index), 1);
    if (OnLineReplaced) OnLineReplaced(index);
    guard.Finish();
}

void TCodeEditStringList::ClearLines() {
    if (size_ != 0) {
        TUpdateGuard guard(*this);
        FreeAll();
        longestIndex_ = -1;
        CheckInvariants();
        if (OnLinesCleared) OnLinesCleared();
        guard.Finish();
    }
    longestIndex_ = -1;
}

void TCodeEditStringList::AppendLines(const TCodeEditStringList& other) {
    std::size_t added = other.size_; // read first: other may be this list
    if (added == 0) return;
    TUpdateGuard guard(*this);
    std::size_t first = size_;
    EnsureCapacity((size_ + added + 15) / 16 * 16);
    if (other.objects_ != nullptr) EnsureObjects();
    for (std::size_t i = 0; i < added; ++i) {
        lines_[size_] = MakeRecord(other.lines_[i].Text(), true);
        if (objects_ != nullptr) objects_[size_] = other.objects_ ? other.objects_[i] : 0;
        ++size_;
    }
    longestIndex_ = -1;
    CheckInvariants(first, added);
    if (OnLineAdded) OnLineAdded(static_cast<int>(first));
    guard.Finish();
}

void TCodeEditStringList::SwapStorage(TCodeEditStringList& other) noexcept {
    std::swap(lines_, other.lines_);
    std::swap(objects_, other.objects_);
    std::swap(size_, other.size_);
    std::swap(cap_, other.cap_);
    std::swap(reserved_, other.reserved_);
    std::swap(arena_, other.arena_);
    std::swap(heapTexts_, other.heapTexts_);
    std::swap(format_, other.format_);
    std::swap(longestIndex_, other.longestIndex_);
}

void TCodeEditStringList::AdoptLines(TCodeEditStringList& built) {
    if (&built == this) return;
    TUpdateGuard guard(*this);
    const bool hadLines = size_ != 0;
    SwapStorage(built);
    // Each list keeps its tab width; lines measured with the other one are measured again.
    if (built.tabSize_ != tabSize_) {
        ForgetExpandedLengths();
        built.ForgetExpandedLengths();
    }
    CheckInvariants(0, 1);
    built.CheckInvariants(0, 1);
    if (hadLines && OnLinesCleared) OnLinesCleared();
    if (size_ != 0 && OnLineAdded) OnLineAdded(0);
    guard.Finish();
}

std::string_view TCodeEditStringList::LineAt(std::size_t index) const {
    if (index >= size_) return {};
    return lines_[index].Text();
}

std::intptr_t TCodeEditStringList::ObjectAt(int index) const {
    if (index < 0 || std::size_t(index) >= size_ || objects_ == nullptr) return 0;
    return objects_[index];
}

void TCodeEditStringList::SetObjectAt(int index, std::intptr_t object) {
    CheckIndex(index, static_cast<long long>(size_));
    if (objects_ == nullptr && object == 0) return;
    EnsureObjects();
    objects_[index] = object;
    CheckInvariants(std::size_t(index), 1);
}

TCodeRange TCodeEditStringList::LineRange(int index) const {
    if (index < 0 || std::size_t(index) >= size_) return 0;
    return lines_[index].Range;
}

void TCodeEditStringList::SetLineRange(int index, TCodeRange range) {
    CheckIndex(index, static_cast<long long>(size_));
    lines_[index].Range = range;
    CheckInvariants(std::size_t(index), 1);
}

std::uint8_t TCodeEditStringList::LineFlags(int index) const {
    if (index < 0 || std::size_t(index) >= size_) return 0;
    return lines_[index].Flags();
}

void TCodeEditStringList::UpdateExpandedLength(TLineRecord& r) const {
    bool hadTabs = false;
    std::size_t length = MeasureTabs(r.Text(), tabSize_, hadTabs);
    r.SetExpanded(length, hadTabs ? kLineHasTabs : kLineHasNoTabs);
}

std::string TCodeEditStringList::ExpandedLine(int index) const {
    if (index < 0 || std::size_t(index) >= size_) return {};
    TLineRecord& r = lines_[index];
    if (r.Flags() & kLineHasNoTabs) return std::string(r.Text());
    bool hadTabs = false;
    std::string out = ExpandTabs(r.Text(), tabSize_, hadTabs);
    r.SetExpanded(out.size(), hadTabs ? kLineHasTabs : kLineHasNoTabs);
    return out;
}

int TCodeEditStringList::ExpandedLength(int index) const {
    if (index < 0 || std::size_t(index) >= size_) return 0;
    TLineRecord& r = lines_[index];
    if (r.Flags() & kLineExpandedUnknown) UpdateExpandedLength(r);
    return r.Expanded();
}

int TCodeEditStringList::LongestLineLength() const {
    if (size_ == 0) return 0;
    if (longestIndex_ < 0) {
        int best = -1;
        for (std::size_t i = 0; i < size_; ++i) {
            int length = ExpandedLength(static_cast<int>(i));
            if (length > best) {
                best = length;
                longestIndex_ = static_cast<int>(i);
            }
        }
    }
    return lines_[longestIndex_].Expanded();
}

void TCodeEditStringList::SetTabWidth(int width) {
    if (width == tabSize_) return;
    tabSize_ = width;
    ForgetExpandedLengths();
    CheckInvariants(0, 0);
}

void TCodeEditStringList::ForgetExpandedLengths() {
    for (std::size_t i = 0; i < size_; ++i)
        lines_[i].MarkExpandedUnknown();
    longestIndex_ = -1;
}

#ifndef NDEBUG
namespace {
constexpr std::size_t kCheckEveryLineUpTo = 1024;

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "line store broken: %s\n", what);
    std::abort();
}
} // namespace

void TCodeEditStringList::CheckInvariants(std::size_t first, std::size_t count) const {
    Require(size_ <= cap_ && cap_ <= std::size_t(INT_MAX), "line count within the capacity");
    Require((cap_ == 0) == (lines_ == nullptr), "a record array exactly when there is capacity");
    Require(reserved_ == 0 ||
                (reserved_ % kHugePageSize == 0 && cap_ * sizeof(TLineRecord) <= reserved_),
            "mapped records within their block");
    Require(heapTexts_ <= size_, "at most one own text per line");
    Require(size_ != 0 || (heapTexts_ == 0 && arena_->Empty()), "an empty list holds no text");
    Require(longestIndex_ >= -1 && longestIndex_ < static_cast<long long>(size_),
            "the longest line is a line");
    Require(arena_->FreeSpaceAddsUp(), "the text blocks' free space adds up");

    const bool every = size_ <= kCheckEveryLineUpTo;
    if (every) {
        first = 0;
        count = size_;
    }
    first = std::min(first, size_);
    count = std::min(count, size_ - first);
    std::size_t ownTexts = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        const TLineRecord& r = lines_[i];
        const std::uint8_t flags = r.Flags();
        ownTexts += r.OwnsText() ? 1 : 0;
        Require((r.Length() == 0) == (r.Data == nullptr), "a text exactly for a non-empty line");
        Require(r.Length() == 0 || r.OwnsText() || arena_->Holds(r.Data, r.Length()),
                "a shared text lies in a text block");
        Require((flags & kLineHasTabs) == 0 || (flags & kLineHasNoTabs) == 0,
                "tabs or no tabs, not both");
        if (flags == 0) Require(r.Length() == 0 && r.Expanded() == 0, "a blank line measures 0");
        if ((flags & kLineExpandedUnknown) == 0 && (flags & (kLineHasTabs | kLineHasNoTabs)) != 0) {
            bool hadTabs = false;
            const std::size_t expanded = MeasureTabs(r.Text(), tabSize_, hadTabs);
            Require(std::size_t(r.Expanded()) == std::min<std::size_t>(expanded, kExpandedMask) &&
                        hadTabs == ((flags & kLineHasTabs) != 0),
                    "the cached expanded length is the line's");
        }
    }
    if (!every) return;
    Require(ownTexts == heapTexts_, "own texts counted");
    if (longestIndex_ >= 0) {
        const TLineRecord& longest = lines_[longestIndex_];
        Require((longest.Flags() & kLineExpandedUnknown) == 0, "the longest line is measured");
        for (std::size_t i = 0; i < size_; ++i)
            Require((lines_[i].Flags() & kLineExpandedUnknown) != 0 ||
                        lines_[i].Expanded() <= longest.Expanded(),
                    "no measured line is longer than the longest");
    }
}
#endif

void TCodeEditStringList::LoadFile(const std::string& path, TProgress* progress) {
    TCodeEditFileReader reader(path); // fails before the list is touched
    if (progress != nullptr) progress->SetTotal(reader.FileSize());
    TUpdateGuard guard(*this);
    ClearLines();
    while (!reader.AtEnd()) {
        AddLine(reader.ReadLine());
        if (progress != nullptr) {
            progress->SetDone(reader.BytesRead());
            progress->ThrowIfCancelled();
        }
    }
    format_ = reader.LineBreakFormat();
    CheckInvariants(0, 0);
    guard.Finish();
}

void TCodeEditStringList::SaveFile(const std::string& path) const {
    SaveFile(path, format_);
}

void TCodeEditStringList::SaveFile(const std::string& path, TLineBreakFormat format,
                                   TProgress* progress) const {
    TCodeEditFileWriter writer(path);
    writer.SetLineBreakFormat(format);
    if (progress != nullptr) progress->SetTotal(std::int64_t(size_));
    for (std::size_t i = 0; i < size_; ++i) {
        writer.WriteLine(lines_[i].Text());
        if (progress != nullptr) {
            progress->SetDone(std::int64_t(i + 1));
            progress->ThrowIfCancelled(); // the writer, uncommitted, leaves the old file
        }
    }
    writer.Commit();
}

} // namespace plotalon
