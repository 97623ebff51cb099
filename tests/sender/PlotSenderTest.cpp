#include "sender/PlotSender.h"

#include "sender/HpglRange.h"

#include "tests/sender/MemoryPort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <future>

namespace plotalon {
namespace {

using test::TMemoryPort;
using namespace std::chrono_literals;

// 40 lines of HPGL, CR LF after each.
std::string Hpgl(int lines = 40) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "PA" + std::to_string(i * 100) + "," + std::to_string(i * 7) + ";\r\n";
    return text;
}

TSendOptions Options(THandshake handshake, int block, std::string init = "",
                     TMillis timeout = TMillis(5000)) {
    TSendOptions options;
    options.Handshake = handshake;
    options.BlockSize = block;
    options.Init = std::move(init);
    options.AnswerTimeout = options.HoldTimeout = timeout;
    return options;
}

std::string WithoutQueries(std::string bytes) {
    for (std::size_t at; (at = bytes.find(kBufferQuery)) != std::string::npos;)
        bytes.erase(at, kBufferQuery.size());
    return bytes;
}

class TRecordedProgress : public ISendProgress {
public:
    void Progress(const TSendStatus& status) override {
        std::lock_guard lock(mutex_);
        all_.push_back(status);
    }
    std::vector<TSendStatus> Reports() {
        std::lock_guard lock(mutex_);
        return all_;
    }

private:
    std::mutex mutex_;
    std::vector<TSendStatus> all_;
};

TEST(PlotSender, QueryHandshakeSendsNoMoreThanTheAnsweredFreeSpaceAndTheBlockSize) {
    TMemoryPort port;
    // A plotter that is full at first, then has a little room, then plenty; one answer comes
    // with an XOFF before it, as a plotter set for XON/XOFF as well sends.
    std::deque<std::string> answers{"0\r", "7\r",
                                    "\x13"
                                    "300\r",
                                    "1\r"};
    std::vector<std::size_t> allowed;
    port.Answer = [&](std::string_view chunk) -> std::string {
        if (chunk != kBufferQuery) return {};
        const std::string answer = answers.empty() ? "1000\r" : answers.front();
        if (!answers.empty()) answers.pop_front();
        allowed.push_back(std::size_t(std::stoul(answer.substr(answer[0] == '\x13'))));
        return answer;
    };
    TSendControl control;
    TSendOptions options = Options(THandshake::Query, 64, "\x1b.@1024;0:");
    const std::string text = Hpgl();
    EXPECT_EQ(TPlotSender(port, options, control, nullptr).Send(text), TSendOutcome::Done);

    const std::string written = port.Written();
    ASSERT_TRUE(written.starts_with("\x1b.@1024;0:" + std::string(kBufferQuery)));
    EXPECT_EQ(WithoutQueries(written.substr(10)), text);
    EXPECT_TRUE(written.ends_with(kBufferQuery)); // the last answer confirms that all arrived
    // Between two queries at most what the first of them allowed, and never above the block.
    std::size_t at = written.find(kBufferQuery), query = 0;
    while (at != std::string::npos) {
        const std::size_t next = written.find(kBufferQuery, at + 3);
        const std::size_t sent = (next == std::string::npos ? written.size() : next) - at - 3;
        EXPECT_LE(sent, std::min<std::size_t>(allowed[query], 64)) << "after query " << query;
        at = next;
        ++query;
    }
}

TEST(PlotSender, CancelEndsTheStreamWithTheAbortAndPenUp) {
    const std::string text = Hpgl();
    const struct {
        THandshake handshake;
        const char* ending; // after the bytes sent before the cancel
    } cases[] = {
        {THandshake::Query, "\x1b.KPU;"},
        {THandshake::XonXoff, "\x1b.KPU;"},
        {THandshake::RtsCts, "\x1b.KPU;"},
        {THandshake::None, "PU;"}, // after the rest of the line that was being sent
    };
    for (const auto& c : cases) {
        TMemoryPort port;
        port.TakeAtMost = 5; // cuts the text mid-line
        TSendControl control;
        port.Answer = [&](std::string_view chunk) -> std::string {
            if (chunk == kBufferQuery) return "1000\r";
            if (port.Written().size() > 100) control.Cancel();
            return {};
        };
        TSendOptions options = Options(c.handshake, 16);
        EXPECT_EQ(TPlotSender(port, options, control, nullptr).Send(text), TSendOutcome::Cancelled);
        std::string written = WithoutQueries(port.Written());
        ASSERT_TRUE(written.ends_with(c.ending)) << written;
        written.resize(written.size() - std::strlen(c.ending));
        EXPECT_TRUE(text.starts_with(written));
        EXPECT_LT(written.size(), 120u);
        if (c.handshake == THandshake::None) {
            EXPECT_TRUE(written.ends_with("\r\n")) << written; // a whole instruction
            EXPECT_EQ(port.Discards, 0);
        } else {
            EXPECT_EQ(port.Discards, 1); // what the port still held is not sent
        }
    }
}

TEST(PlotSender, PauseHoldsTheSendingUntilResumed) {
    TMemoryPort port;
    port.Rate = 2000; // 40 lines take about half a second
    TSendControl control;
    TRecordedProgress progress;
    const std::string text = Hpgl();
    std::future<TSendOutcome> sending = std::async(std::launch::async, [&] {
        return TPlotSender(port, Options(THandshake::XonXoff, 16), control, &progress).Send(text);
    });
    while (port.Written().size() < 100)
        std::this_thread::sleep_for(1ms);
    control.Pause();
    // Once the sender has reached the pause it says so, and sends nothing more.
    while (progress.Reports().empty() || !progress.Reports().back().Paused)
        std::this_thread::sleep_for(1ms);
    const std::size_t held = port.Written().size();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(port.Written().size(), held);
    EXPECT_LT(held, text.size());
    control.Resume();
    EXPECT_EQ(sending.get(), TSendOutcome::Done);
    EXPECT_EQ(port.Written(), text);

    const std::vector<TSendStatus> reports = progress.Reports();
    ASSERT_FALSE(reports.empty());
    bool sawPause = false;
    for (const TSendStatus& s : reports) {
        sawPause = sawPause || s.Paused;
        // The line named is the one the next byte belongs to.
        EXPECT_EQ(s.LineText, std::string(LineOfText(text, s.Line)));
    }
    EXPECT_TRUE(sawPause);
    EXPECT_TRUE(reports.back().Finished);
    EXPECT_EQ(reports.back().Sent, text.size());
    // The pause is not counted as sending time.
    EXPECT_LT(reports.back().Elapsed, 0.5);
}

TEST(PlotSender, TimeOutsNameWhatThePlotterDidNotAnswer) {
    const struct {
        THandshake handshake;
        std::size_t takes;
        const char* message;
    } cases[] = {
        {THandshake::Query, 1000, "Plotter antwortet nicht (keine Antwort auf ESC.B nach 1 s)"},
        {THandshake::XonXoff, 0, "Plotter antwortet nicht (kein XON nach 1 s)"},
        {THandshake::RtsCts, 0, "Plotter antwortet nicht (kein CTS nach 1 s)"},
        {THandshake::None, 0, "Plotter nimmt keine Daten an (seit 1 s)"},
    };
    for (const auto& c : cases) {
        TMemoryPort port;
        port.TakeAtMost = c.takes;
        TSendControl control;
        TSendOptions options = Options(c.handshake, 64, "", 1000ms);
        try {
            TPlotSender(port, options, control, nullptr).Send(Hpgl());
            ADD_FAILURE() << c.message;
        } catch (const ESendError& e) {
            EXPECT_EQ(e.Message(), std::string(c.message) + " (0 von 491 Bytes gesendet)");
        }
    }
}

TEST(PlotSender, APortThatGoesAwayEndsTheSendWithTheBytesSentByThen) {
    TMemoryPort port;
    port.LoseAfter = 250;
    TSendControl control;
    try {
        TPlotSender(port, Options(THandshake::XonXoff, 64), control, nullptr).Send(Hpgl());
        FAIL();
    } catch (const ESendError& e) {
        EXPECT_EQ(e.Sent, 250u);
        EXPECT_EQ(e.Message(),
                  "Verbindung zu /dev/ttyTest unterbrochen (250 von 491 Bytes gesendet)");
    }
}

TEST(PlotSender, AnUnreadableAnswerIsReportedNotTakenForSpace) {
    TMemoryPort port;
    port.Answer = [](std::string_view chunk) { return chunk == kBufferQuery ? "frei\r" : ""; };
    TSendControl control;
    try {
        TPlotSender(port, Options(THandshake::Query, 64), control, nullptr).Send(Hpgl());
        FAIL();
    } catch (const ESendError& e) {
        EXPECT_EQ(
            e.Message(),
            "Unverständliche Antwort des Plotters auf ESC.B: frei (0 von 491 Bytes gesendet)");
    }
}

} // namespace
} // namespace plotalon
