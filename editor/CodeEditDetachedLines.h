#pragma once
// A line list that is filled away from any pane, on a worker thread, for a pane to adopt in
// one step (TCodeEditStringList::AdoptLines). It measures tabs with the pane's tab width, and
// with a highlighter of the pane's kind it stores every line's range as the line is added:
// the ranges the pane would compute itself, so that adopting rescans the first line only,
// not millions. (A highlighter whose lines all start afresh needs no scan for that.) Nobody else
// follows the list, and one thread at a time works on it.

#include "editor/CodeEditHighlighter.h"
#include "editor/CodeEditHighlighterLink.h"
#include "editor/CodeEditStringList.h"

#include <memory>

namespace plotalon {

class TCodeEditDetachedLines {
public:
    // Call on the pane's thread: paneHighlighter (may be nullptr) is only asked for a fresh
    // one of its kind.
    TCodeEditDetachedLines(int tabWidth, const TCodeCustomHighlighter* paneHighlighter);
    TCodeEditDetachedLines(const TCodeEditDetachedLines&) = delete;
    TCodeEditDetachedLines& operator=(const TCodeEditDetachedLines&) = delete;

    // Add lines here (AddLine, or the engine's AppendLine): each is scanned as it comes.
    TCodeEditStringList& Lines() { return list_; }
    bool ScansRanges() const { return highlighter_ != nullptr; }

private:
    std::unique_ptr<TCodeCustomHighlighter> highlighter_; // outlives the link
    TCodeEditStringList list_;
    TCodeEditHighlighterLink link_;
};

} // namespace plotalon
