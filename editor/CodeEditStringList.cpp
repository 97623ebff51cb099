#include "editor/CodeEditStringList.h"

#include "editor/CodeEditFiler.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

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

template <bool Pow2>
std::size_t MeasureWith(std::string_view text, std::size_t width, bool& hadTabs) {
    std::size_t col = 0;
    hadTabs = false;
    for (char c : text) {
        if (c == '\t') {
            hadTabs = true;
            col += TabPad<Pow2>(col, width);
        } else {
            ++col;
        }
    }
    return col;
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
// Storage. Records are trivially copyable so that the array grows with realloc, which moves
// big arrays by remapping pages instead of copying them (no double peak while loading).
// Texts of appended lines live in large shared blocks, so loading millions of lines costs
// one allocation per block, not per line; edited lines get their own allocation, which is
// freed with the line.

enum : std::uint8_t { kStorageNone = 0, kStorageArena = 1, kStorageHeap = 2 };

struct TCodeEditStringList::TLineRecord {
    char* Data;
    std::uint32_t Length;
    std::int32_t ExpandedLength;
    TCodeRange Range;
    std::intptr_t Object;
    std::uint8_t Flags;
    std::uint8_t Storage;

    std::string_view Text() const { return {Data, Length}; }
};

class TCodeEditStringList::TTextArena {
public:
    static constexpr std::size_t kBlockSize = 1 << 20;
    static constexpr std::size_t kLargestText = 4096; // longer texts get their own block

    char* Allocate(std::size_t n) {
        if (Blocks.empty() || Free < n) {
            Blocks.emplace_back(new char[kBlockSize]);
            Next = Blocks.back().get();
            Free = kBlockSize;
        }
        char* p = Next;
        Next += n;
        Free -= n;
        return p;
    }
    void Reset() {
        Blocks.clear();
        Next = nullptr;
        Free = 0;
    }

private:
    std::vector<std::unique_ptr<char[]>> Blocks;
    char* Next = nullptr;
    std::size_t Free = 0;
};

// Begin/end update around one changing operation. When the operation fails, the nest is
// still closed; an event handler failing then does not replace the first error.
class TCodeEditStringList::TUpdateGuard {
public:
    explicit TUpdateGuard(TCodeEditStringList& list)
        : List(list), Pending(std::uncaught_exceptions()) {
        List.BeginUpdate();
    }
    ~TUpdateGuard() noexcept(false) {
        if (std::uncaught_exceptions() == Pending) {
            List.EndUpdate();
            return;
        }
        try {
            List.EndUpdate();
        } catch (...) {
        }
    }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TCodeEditStringList& List;
    int Pending;
};

TCodeEditStringList::TCodeEditStringList() : Arena(std::make_unique<TTextArena>()) {}

TCodeEditStringList::~TCodeEditStringList() {
    OnChanged = nullptr;
    OnChanging = nullptr;
    FreeAll();
}

void TCodeEditStringList::BeginUpdate() {
    if (Updates++ == 0 && OnChanging) OnChanging();
}

void TCodeEditStringList::EndUpdate() {
    if (Updates == 0) return;
    if (--Updates == 0 && OnChanged) OnChanged();
}

void TCodeEditStringList::CheckIndex(long long index, long long limit) const {
    if (index < 0 || index >= limit) throw ECodeEditStringList(index);
}

void TCodeEditStringList::EnsureCapacity(std::size_t wanted) {
    if (wanted <= Cap) return;
    if (wanted > std::size_t(INT_MAX)) throw std::bad_alloc();
    void* grown = std::realloc(static_cast<void*>(Lines), wanted * sizeof(TLineRecord));
    if (grown == nullptr) throw std::bad_alloc();
    Lines = static_cast<TLineRecord*>(grown);
    Cap = wanted;
}

void TCodeEditStringList::Grow() {
    std::size_t delta = Cap > 64 ? Cap / 4 : 16;
    EnsureCapacity(Cap + delta);
}

TCodeEditStringList::TLineRecord TCodeEditStringList::MakeRecord(std::string_view text, bool bulk) {
    if (text.size() > UINT32_MAX) throw std::bad_alloc();
    TLineRecord r{nullptr, std::uint32_t(text.size()), -1,          kUnscannedRange,
                  0,       kLineExpandedUnknown,       kStorageNone};
    if (text.empty()) return r;
    if (bulk && text.size() <= TTextArena::kLargestText) {
        r.Data = Arena->Allocate(text.size());
        r.Storage = kStorageArena;
    } else {
        r.Data = static_cast<char*>(std::malloc(text.size()));
        if (r.Data == nullptr) throw std::bad_alloc();
        r.Storage = kStorageHeap;
    }
    std::memcpy(r.Data, text.data(), text.size());
    return r;
}

void TCodeEditStringList::FreeText(TLineRecord& record) {
    if (record.Storage == kStorageHeap) std::free(record.Data);
    record.Data = nullptr;
    record.Length = 0;
    record.Storage = kStorageNone;
}

void TCodeEditStringList::FreeAll() {
    for (std::size_t i = 0; i < Size; ++i)
        FreeText(Lines[i]);
    std::free(static_cast<void*>(Lines));
    Lines = nullptr;
    Size = 0;
    Cap = 0;
    Arena->Reset();
}

void TCodeEditStringList::InsertRecord(std::size_t index, const TLineRecord& record) {
    if (index < Size)
        std::memmove(static_cast<void*>(Lines + index + 1), Lines + index,
                     (Size - index) * sizeof(TLineRecord));
    Lines[index] = record;
    ++Size;
}

int TCodeEditStringList::AddLine(std::string_view text) {
    TUpdateGuard guard(*this);
    if (Size == Cap) Grow();
    InsertRecord(Size, MakeRecord(text, true));
    LongestIndex = -1;
    int index = static_cast<int>(Size - 1);
    if (OnLineAdded) OnLineAdded(index);
    return index;
}

void TCodeEditStringList::InsertLine(int index, std::string_view text) {
    CheckIndex(index, static_cast<long long>(Size) + 1);
    TUpdateGuard guard(*this);
    if (Size == Cap) Grow();
    InsertRecord(std::size_t(index), MakeRecord(text, false));
    LongestIndex = -1;
    if (OnLineInserted) OnLineInserted(index);
}

void TCodeEditStringList::DeleteLine(int index) {
    CheckIndex(index, static_cast<long long>(Size));
    TUpdateGuard guard(*this);
    FreeText(Lines[index]);
    std::memmove(static_cast<void*>(Lines + index), Lines + index + 1,
                 (Size - std::size_t(index) - 1) * sizeof(TLineRecord));
    --Size;
    LongestIndex = -1;
    if (Size == 0) Arena->Reset();
    if (OnLineDeleted) OnLineDeleted(index);
}

void TCodeEditStringList::DeleteLines(int index, int n) {
    if (n <= 0) return;
    CheckIndex(index, static_cast<long long>(Size) + 1);
    TUpdateGuard guard(*this);
    std::size_t first = std::size_t(index);
    std::size_t count = std::min(std::size_t(n), Size - first);
    for (std::size_t i = first; i < first + count; ++i)
        FreeText(Lines[i]);
    std::memmove(static_cast<void*>(Lines + first), Lines + first + count,
                 (Size - first - count) * sizeof(TLineRecord));
    Size -= count;
    LongestIndex = -1;
    if (Size == 0) Arena->Reset();
    if (OnLineDeleted) OnLineDeleted(index);
}

void TCodeEditStringList::InsertLines(int index, int n) {
    if (n <= 0) return;
    CheckIndex(index, static_cast<long long>(Size) + 1);
    TUpdateGuard guard(*this);
    EnsureCapacity(Size + std::size_t(n));
    std::size_t first = std::size_t(index);
    std::memmove(static_cast<void*>(Lines + first + n), Lines + first,
                 (Size - first) * sizeof(TLineRecord));
    for (std::size_t i = first; i < first + std::size_t(n); ++i)
        Lines[i] = TLineRecord{nullptr, 0, 0, 0, 0, 0, kStorageNone};
    Size += std::size_t(n);
    LongestIndex = -1;
    if (OnLineAdded) OnLineAdded(index);
}

void TCodeEditStringList::ReplaceLine(int index, std::string_view text) {
    if (Size == 0 && index == 0) {
        AddLine(text);
        return;
    }
    CheckIndex(index, static_cast<long long>(Size));
    TUpdateGuard guard(*this);
    TLineRecord fresh = MakeRecord(text, false);
    TLineRecord& r = Lines[index];
    FreeText(r);
    r.Data = fresh.Data;
    r.Length = fresh.Length;
    r.Storage = fresh.Storage;
    r.ExpandedLength = -1;
    r.Flags = kLineExpandedUnknown;
    LongestIndex = -1;
    if (OnLineReplaced) OnLineReplaced(index);
}

void TCodeEditStringList::ClearLines() {
    if (Size != 0) {
        TUpdateGuard guard(*this);
        FreeAll();
        LongestIndex = -1;
        if (OnLinesCleared) OnLinesCleared();
    }
    LongestIndex = -1;
}

void TCodeEditStringList::AppendLines(const TCodeEditStringList& other) {
    std::size_t added = other.Size; // read first: other may be this list
    if (added == 0) return;
    TUpdateGuard guard(*this);
    std::size_t first = Size;
    EnsureCapacity((Size + added + 15) / 16 * 16);
    for (std::size_t i = 0; i < added; ++i) {
        TLineRecord r = MakeRecord(other.Lines[i].Text(), true);
        r.Object = other.Lines[i].Object;
        Lines[Size++] = r;
    }
    LongestIndex = -1;
    if (OnLineAdded) OnLineAdded(static_cast<int>(first));
}

std::string_view TCodeEditStringList::LineAt(std::size_t index) const {
    if (index >= Size) return {};
    return Lines[index].Text();
}

std::intptr_t TCodeEditStringList::ObjectAt(int index) const {
    if (index < 0 || std::size_t(index) >= Size) return 0;
    return Lines[index].Object;
}

void TCodeEditStringList::SetObjectAt(int index, std::intptr_t object) {
    CheckIndex(index, static_cast<long long>(Size));
    Lines[index].Object = object;
}

TCodeRange TCodeEditStringList::LineRange(int index) const {
    if (index < 0 || std::size_t(index) >= Size) return 0;
    return Lines[index].Range;
}

void TCodeEditStringList::SetLineRange(int index, TCodeRange range) {
    CheckIndex(index, static_cast<long long>(Size));
    Lines[index].Range = range;
}

std::uint8_t TCodeEditStringList::LineFlags(int index) const {
    if (index < 0 || std::size_t(index) >= Size) return 0;
    return Lines[index].Flags;
}

void TCodeEditStringList::UpdateExpandedLength(TLineRecord& r) const {
    bool hadTabs = false;
    std::size_t length = MeasureTabs(r.Text(), TabSize, hadTabs);
    r.ExpandedLength = static_cast<std::int32_t>(std::min<std::size_t>(length, INT32_MAX));
    r.Flags = hadTabs ? kLineHasTabs : kLineHasNoTabs;
}

std::string TCodeEditStringList::ExpandedLine(int index) const {
    if (index < 0 || std::size_t(index) >= Size) return {};
    TLineRecord& r = Lines[index];
    if (r.Flags & kLineHasNoTabs) return std::string(r.Text());
    bool hadTabs = false;
    std::string out = ExpandTabs(r.Text(), TabSize, hadTabs);
    r.ExpandedLength = static_cast<std::int32_t>(std::min<std::size_t>(out.size(), INT32_MAX));
    r.Flags = hadTabs ? kLineHasTabs : kLineHasNoTabs;
    return out;
}

int TCodeEditStringList::ExpandedLength(int index) const {
    if (index < 0 || std::size_t(index) >= Size) return 0;
    TLineRecord& r = Lines[index];
    if ((r.Flags & kLineExpandedUnknown) || r.ExpandedLength < 0) UpdateExpandedLength(r);
    return r.ExpandedLength;
}

int TCodeEditStringList::LongestLineLength() const {
    if (Size == 0) return 0;
    if (LongestIndex < 0) {
        int best = -1;
        for (std::size_t i = 0; i < Size; ++i) {
            int length = ExpandedLength(static_cast<int>(i));
            if (length > best) {
                best = length;
                LongestIndex = static_cast<int>(i);
            }
        }
    }
    return Lines[LongestIndex].ExpandedLength;
}

void TCodeEditStringList::SetTabWidth(int width) {
    if (width == TabSize) return;
    TabSize = width;
    for (std::size_t i = 0; i < Size; ++i)
        Lines[i].Flags |= kLineExpandedUnknown;
    LongestIndex = -1;
}

void TCodeEditStringList::LoadFile(const std::string& path) {
    TCodeEditFileReader reader(path); // fails before the list is touched
    TUpdateGuard guard(*this);
    ClearLines();
    std::string_view line;
    while (!reader.AtEnd()) {
        line = reader.ReadLine();
        AddLine(line);
    }
    Format = reader.LineBreakFormat();
}

void TCodeEditStringList::SaveFile(const std::string& path) const {
    TCodeEditFileWriter writer(path);
    writer.SetLineBreakFormat(Format);
    for (std::size_t i = 0; i < Size; ++i)
        writer.WriteLine(Lines[i].Text());
    writer.Commit();
}

} // namespace plotalon
