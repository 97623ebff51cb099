#pragma once
// The NC highlighter, counting the lines it is asked to scan.

#include "editor/ncSyn.h"

namespace plotalon::test {

class TCountingNCSyn : public TNCSyn {
public:
    void BeginLine(std::string_view text, int index) override {
        ++Scans;
        TNCSyn::BeginLine(text, index);
    }
    int Scans = 0;
};

} // namespace plotalon::test
