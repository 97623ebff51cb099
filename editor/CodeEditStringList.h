#pragma once
// The line list behind every editor pane: byte lines with, per line, the highlighter's range
// at the start of the line, an attached object and the cached length after tab expansion.
// The list announces every change through its events so that the view and the range
// maintenance follow it; it is also the conversion engine's source and target seam.
//
// Indices are 0-based ints. A changing operation with an index outside its permitted range
// raises ECodeEditStringList ("Invalid stringlist index %d") before anything changes; the
// queries answer the empty text or 0 for an index outside the list.

#include "engine/LineSeams.h"
#include "platform/Errors.h"
#include "platform/Progress.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

class ECodeEditStringList : public Exception {
public:
    explicit ECodeEditStringList(long long index);
};

// How each line ends in a file: 0 = LF, 1 = CR LF.
enum class TLineBreakFormat : std::uint8_t { LF = 0, CRLF = 1 };

// Highlighter range at the start of a line; kUnscannedRange until the editor stores one.
using TCodeRange = std::intptr_t;
inline constexpr TCodeRange kUnscannedRange = -1;

// Per-line flag bits.
inline constexpr std::uint8_t kLineHasTabs = 1;         // the expanded text differs
inline constexpr std::uint8_t kLineHasNoTabs = 2;       // the expanded text is the text
inline constexpr std::uint8_t kLineExpandedUnknown = 4; // expanded length must be recomputed

// One change of a line list as its events tell it, with the line count after it: enough for
// a table kept beside the lines to follow inserts and removals of any number of lines (one
// event may stand for many: InsertLines, DeleteLines, AppendLines, AdoptLines).
struct TLineChange {
    enum TKind : std::uint8_t { Added, Inserted, Deleted, Replaced, Cleared };
    TKind Kind = Added;
    int Index = 0;      // the first line concerned; 0 for Cleared
    int CountAfter = 0; // the list's line count after the change
};

class TCodeEditStringList : public ILineSource, public ILineSink {
public:
    using TIndexEvent = std::function<void(int index)>;
    using TNotifyEvent = std::function<void()>;

    TCodeEditStringList();
    ~TCodeEditStringList() override;
    TCodeEditStringList(const TCodeEditStringList&) = delete;
    TCodeEditStringList& operator=(const TCodeEditStringList&) = delete;

    // Events, installed by the owning editor.
    TIndexEvent OnLineAdded; // also for InsertLines and AppendLines (first new index)
    TNotifyEvent OnLinesCleared;
    TIndexEvent OnLineDeleted; // also once for DeleteLines
    TIndexEvent OnLineInserted;
    TIndexEvent OnLineReplaced;
    TNotifyEvent OnChanging; // the first BeginUpdate of a nest
    TNotifyEvent OnChanged;  // the last EndUpdate of a nest

    // Nested update counting.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updates_; }

    // One update for its lifetime: Finish() ends it and lets an error of the changed handler
    // through; when an error ends the change before that, the destructor ends the update and
    // swallows a second error.
    class TUpdateGuard {
    public:
        explicit TUpdateGuard(TCodeEditStringList& list) : list_(list) { list_.BeginUpdate(); }
        ~TUpdateGuard() {
            if (finished_) return;
            try {
                list_.EndUpdate();
            } catch (...) {
            }
        }
        void Finish() {
            finished_ = true;
            list_.EndUpdate();
        }
        TUpdateGuard(const TUpdateGuard&) = delete;
        TUpdateGuard& operator=(const TUpdateGuard&) = delete;

    private:
        TCodeEditStringList& list_;
        bool finished_ = false;
    };

    int Count() const { return static_cast<int>(size_); }
    int Capacity() const { return static_cast<int>(cap_); }

    // Changing operations (each inside one update pair; each forgets the longest line).
    int AddLine(std::string_view text);                 // returns the new index
    void InsertLine(int index, std::string_view text);  // 0..Count()
    void DeleteLine(int index);                         // 0..Count()-1
    void DeleteLines(int index, int n);                 // n <= 0: nothing; index 0..Count()
    void InsertLines(int index, int n);                 // n <= 0: nothing; index 0..Count()
    void ReplaceLine(int index, std::string_view text); // on an empty list, index 0 appends
    void ClearLines();
    void AppendLines(const TCodeEditStringList& other);
    // Takes over every line of built (texts, ranges, objects, cached lengths) and its
    // line-break format in one step, without copying a line: events "lines cleared" (when
    // this list had lines) and one "line added" (0) (when built has lines), inside one update.
    // built is left holding this list's former lines, so that they can be freed elsewhere;
    // none of built's events fire. The tab width stays this list's: lines measured with
    // another width are marked for measuring again.
    void AdoptLines(TCodeEditStringList& built);

    // Queries. The view stays valid until that line changes or is removed.
    std::string_view LineAt(std::size_t index) const override; // empty outside the list
    std::intptr_t ObjectAt(int index) const;                   // 0 outside the list
    void SetObjectAt(int index, std::intptr_t object);
    TCodeRange LineRange(int index) const; // 0 outside the list
    void SetLineRange(int index, TCodeRange range);
    std::uint8_t LineFlags(int index) const; // 0 outside the list

    // Tab expansion.
    std::string ExpandedLine(int index) const; // empty outside the list
    int ExpandedLength(int index) const;       // 0 outside the list
    int LongestLineLength() const;             // 0 for an empty list
    int TabWidth() const { return tabSize_; }
    void SetTabWidth(int width);

    TLineBreakFormat LineBreakFormat() const { return format_; }
    void SetLineBreakFormat(TLineBreakFormat format) { format_ = format; }

    // Replaces all lines with the file's lines; EFOpenError leaves the list as it was, a read
    // error the lines read so far. With progress: its total is the file size, its done count
    // the bytes read; a cancel stops the load after the line at hand with ECancelled, the
    // lines read so far in the list.
    void LoadFile(const std::string& path, TProgress* progress = nullptr);
    // Writes all lines in the list's line-break format; the old file survives a failure.
    void SaveFile(const std::string& path) const;
    // The same in the given format, whatever the list's own. With progress: its total is the
    // line count, its done count the lines written; a cancel ends the save with ECancelled
    // and the old file as it was. The list must not change while the save runs.
    void SaveFile(const std::string& path, TLineBreakFormat format,
                  TProgress* progress = nullptr) const;

    // Engine seams.
    std::size_t LineCount() const override { return size_; }
    void AppendLine(std::string_view line) override { AddLine(line); }

private:
    struct TLineRecord;
    class TTextArena;

    void CheckIndex(long long index, long long limit) const; // 0 <= index < limit
    void Grow();
    void EnsureCapacity(std::size_t wanted);
    TLineRecord MakeRecord(std::string_view text, bool bulk);
    void FreeText(TLineRecord& record);
    void FreeAll();
    void EnsureObjects();
    void OpenGap(std::size_t index, std::size_t n);
    void CloseGap(std::size_t index, std::size_t n);
    void UpdateExpandedLength(TLineRecord& record) const;
    void SwapStorage(TCodeEditStringList& other) noexcept; // not the tab width
    void ForgetExpandedLengths();
    // Debug builds check the store after every change: the counts and the text blocks
    // always, the records of the lines at hand, and every record while the list is short.
    // Release builds compile it away.
#ifdef NDEBUG
    void CheckInvariants(std::size_t = 0, std::size_t = 0) const {}
#else
    void CheckInvariants(std::size_t first = 0, std::size_t count = SIZE_MAX) const;
#endif

    TLineRecord* lines_ = nullptr;
    std::intptr_t* objects_ = nullptr; // parallel to Lines once an object is set
    std::size_t size_ = 0;
    std::size_t cap_ = 0;
    std::size_t reserved_ = 0; // bytes mapped for Lines once the array is big
    std::unique_ptr<TTextArena> arena_;
    std::size_t heapTexts_ = 0; // lines whose text has an allocation of its own
    TLineBreakFormat format_ = TLineBreakFormat::CRLF;
    int tabSize_ = 8;
    mutable int longestIndex_ = -1;
    int updates_ = 0;
};

// Expands tabs to blanks up to the next multiple of width (columns from 0); a width of 1 or
// less makes each tab one blank. hadTabs tells whether the text contained a tab.
std::string ExpandTabs(std::string_view text, int width, bool& hadTabs);

// Silences the line events of source: a line list, or an editor that passes them on.
template <class TSource> void UnhookLineEvents(TSource& source) {
    source.OnLineAdded = nullptr;
    source.OnLineDeleted = nullptr;
    source.OnLineInserted = nullptr;
    source.OnLineReplaced = nullptr;
    source.OnLinesCleared = nullptr;
}

} // namespace plotalon
