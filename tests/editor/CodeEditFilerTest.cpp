#include "editor/CodeEditFiler.h"
#include "editor/CodeEditStringList.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace plotalon;
using plotalon::test::TTempDir;

namespace {

using Strings = std::vector<std::string>;

Strings Lines(const TCodeEditStringList& list) {
    Strings out;
    for (int i = 0; i < list.Count(); ++i)
        out.emplace_back(list.LineAt(std::size_t(i)));
    return out;
}

// What the reader must make of a text: LF, CR LF and a lone CR end a line, a 0 byte ends
// the text, and a break at the very end opens no further line.
Strings ReferenceLines(std::string_view bytes, bool& crlf) {
    Strings out;
    crlf = false;
    bytes = bytes.substr(0, bytes.find('\0'));
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t j = i;
        while (j < bytes.size() && bytes[j] != '\n' && bytes[j] != '\r')
            ++j;
        out.emplace_back(bytes.substr(i, j - i));
        if (j + 1 < bytes.size() && bytes[j] == '\r' && bytes[j + 1] == '\n') {
            crlf = true;
            ++j;
        }
        i = j + 1;
    }
    return out;
}

class CodeEditFilerTest : public ::testing::Test {
protected:
    TTempDir dir_;
    TCodeEditStringList list_;
};

} // namespace

TEST_F(CodeEditFilerTest, LineBreakStylesLoadAndSaveBack) {
    struct Case {
        std::string bytes;
        Strings lines;
        TLineBreakFormat format;
        std::string saved;
    };
    using F = TLineBreakFormat;
    const Case cases[] = {
        {"A\r\nB\r\n", {"A", "B"}, F::CRLF, "A\r\nB\r\n"},
        {"A\nB", {"A", "B"}, F::LF, "A\nB\n"},
        {"ABC", {"ABC"}, F::LF, "ABC\n"},
        {"", {}, F::LF, ""},
        {"A\r\n\r\n", {"A", ""}, F::CRLF, "A\r\n\r\n"},
        {"\n", {""}, F::LF, "\n"},
        {"A\rB\r", {"A", "B"}, F::LF, "A\nB\n"}, // a lone CR ends a line, nothing is lost
        {"A\n\rB", {"A", "", "B"}, F::LF, "A\n\nB\n"},
        {"A\nB\r\nC", {"A", "B", "C"}, F::CRLF, "A\r\nB\r\nC\r\n"},  // one CR LF decides
        {std::string("A\nB\0C\nD", 7), {"A", "B"}, F::LF, "A\nB\n"}, // a 0 byte ends the text
        {std::string("A\n\0B", 4), {"A"}, F::LF, "A\n"},
        {"\tx\xe4\xff", {"\tx\xe4\xff"}, F::LF, "\tx\xe4\xff\n"},
    };
    for (const Case& c : cases) {
        std::string in = dir_.Write("in.nc", c.bytes);
        list_.LoadFile(in);
        EXPECT_EQ(Lines(list_), c.lines) << testing::PrintToString(c.bytes);
        EXPECT_EQ(list_.LineBreakFormat(), c.format) << testing::PrintToString(c.bytes);
        std::string out = dir_.Path("out.nc");
        list_.SaveFile(out);
        EXPECT_EQ(TTempDir::Read(out), c.saved) << testing::PrintToString(c.bytes);

        // With progress: the same lines and bytes, and every byte and line counted.
        TCodeEditStringList other;
        TProgress loading, saving;
        other.LoadFile(in, &loading);
        EXPECT_EQ(Lines(other), c.lines) << testing::PrintToString(c.bytes);
        EXPECT_EQ(other.LineBreakFormat(), c.format) << testing::PrintToString(c.bytes);
        EXPECT_EQ(loading.Total(), std::int64_t(c.bytes.size()));
        EXPECT_EQ(loading.Done(), std::int64_t(c.bytes.size()));
        other.SaveFile(out, other.LineBreakFormat(), &saving);
        EXPECT_EQ(TTempDir::Read(out), c.saved) << testing::PrintToString(c.bytes);
        EXPECT_EQ(saving.Total(), std::int64_t(c.lines.size()));
        EXPECT_EQ(saving.Done(), std::int64_t(c.lines.size()));
    }
}

TEST_F(CodeEditFilerTest, LoadReplacesLinesInsideOneUpdate) {
    list_.AddLine("old");
    std::vector<std::string> events;
    list_.OnChanging = [&] { events.push_back("changing"); };
    list_.OnChanged = [&] { events.push_back("changed"); };
    list_.OnLinesCleared = [&] { events.push_back("cleared"); };
    list_.OnLineAdded = [&](int i) { events.push_back("added " + std::to_string(i)); };
    list_.LoadFile(dir_.Write("a.nc", "x\ny\n"));
    EXPECT_EQ(events, (Strings{"changing", "cleared", "added 0", "added 1", "changed"}));
}

TEST_F(CodeEditFilerTest, LongLinesAndBreaksAcrossBufferBoundaries) {
    std::string longLine(100000, 'L');
    list_.LoadFile(dir_.Write("long.nc", longLine));
    ASSERT_EQ(list_.Count(), 1);
    EXPECT_EQ(list_.LineAt(0), longLine);

    // A CR LF split by every refill position near the first buffer boundary.
    for (std::size_t at = 16380; at <= 16386; ++at) {
        std::string bytes(at, 'x');
        bytes += "\r\nEND\r\n";
        list_.LoadFile(dir_.Write("split.nc", bytes));
        ASSERT_EQ(list_.Count(), 2) << at;
        EXPECT_EQ(list_.LineAt(0).size(), at);
        EXPECT_EQ(list_.LineAt(1), "END");
        EXPECT_EQ(list_.LineBreakFormat(), TLineBreakFormat::CRLF);
    }
}

TEST_F(CodeEditFilerTest, RandomBytesLoadLikeTheReference) {
    std::mt19937 random(1234);
    for (int round = 0; round < 40; ++round) {
        std::size_t size = random() % 70000;
        std::string bytes(size, '\0');
        int mode = round % 3; // all 256 values; no line breaks; sparse breaks and no 0 byte
        for (char& b : bytes) {
            unsigned v = random() % 256;
            if (mode == 1) v = v == '\n' || v == '\r' || v == 0 ? 'a' : v;
            if (mode == 2) v = random() % 500 == 0 ? (v % 2 ? '\n' : '\r') : 'a' + v % 26;
            b = char(v);
        }
        TProgress progress;
        list_.LoadFile(dir_.Write("random.bin", bytes), round % 2 ? &progress : nullptr);
        bool crlf = false;
        Strings expected = ReferenceLines(bytes, crlf);
        ASSERT_EQ(Lines(list_), expected) << "round " << round;
        EXPECT_EQ(list_.LineBreakFormat(), crlf ? TLineBreakFormat::CRLF : TLineBreakFormat::LF);
    }
}

TEST_F(CodeEditFilerTest, FileThatCannotBeOpenedKeepsTheLines) {
    list_.AddLine("kept");
    // A FIFO without a writer or an endless device must not hang the window either.
    ASSERT_EQ(::mkfifo(dir_.Path("fifo.nc").c_str(), 0600), 0);
    for (std::string path :
         {dir_.Path("missing.nc"), dir_.Folder(), dir_.Path("fifo.nc"), std::string("/dev/zero")}) {
        try {
            list_.LoadFile(path);
            ADD_FAILURE() << path;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "Datei " + path + " kann nicht geöffnet werden");
        }
        EXPECT_EQ(Lines(list_), Strings{"kept"});
    }
}

TEST_F(CodeEditFilerTest, ReadFailureKeepsWhatWasReadAndClosesTheUpdate) {
    // Reading this process's memory at offset 0 fails right away.
    list_.AddLine("old");
    EXPECT_THROW(list_.LoadFile("/proc/self/mem"), EReadError);
    EXPECT_EQ(list_.UpdateCount(), 0);
    EXPECT_EQ(list_.Count(), 0);
}

TEST_F(CodeEditFilerTest, CancelStopsLoadAndSaveAtTheNextLine) {
    const std::string in = dir_.Write("in.nc", "G0 X1\nG1 X2\nG1 X3\n");
    TProgress progress;
    progress.Cancel();
    EXPECT_THROW(list_.LoadFile(in, &progress), ECancelled);
    EXPECT_EQ(Lines(list_), Strings{"G0 X1"});
    EXPECT_EQ(list_.UpdateCount(), 0);

    // A cancelled save leaves the old file and no temporary file behind.
    const std::string out = dir_.Write("out.nc", "old\n");
    list_.AddLine("new");
    EXPECT_THROW(list_.SaveFile(out, TLineBreakFormat::CRLF, &progress), ECancelled);
    EXPECT_EQ(TTempDir::Read(out), "old\n");
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir_.Folder()))
        (void)entry, ++files;
    EXPECT_EQ(files, 2);
}

TEST_F(CodeEditFilerTest, SaveIntoMissingFolderRaisesCreateError) {
    list_.AddLine("x");
    std::string path = dir_.Path("nofolder/out.nc");
    try {
        list_.SaveFile(path);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Datei " + path + " kann nicht erstellt werden");
    }
    EXPECT_THROW(list_.SaveFile(dir_.Folder()), EFCreateError); // a folder is never replaced
}

TEST_F(CodeEditFilerTest, SaveIntoReadOnlyFolderKeepsTheOldFile) {
    std::string path = dir_.Write("old.nc", "old\n");
    chmod(dir_.Folder().c_str(), 0555);
    list_.AddLine("new");
    // Folder permissions do not bind root, so the save runs as an unprivileged user then.
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && setuid(65534) != 0) std::_Exit(3);
            try {
                list_.SaveFile(path);
            } catch (const EFCreateError& e) {
                std::_Exit(e.Message() == "Datei " + path + " kann nicht erstellt werden" ? 0 : 1);
            }
            std::_Exit(2);
        },
        testing::ExitedWithCode(0), "");
    chmod(dir_.Folder().c_str(), 0755);
    EXPECT_EQ(TTempDir::Read(path), "old\n");
}

TEST_F(CodeEditFilerTest, SaveOverReadOnlyFileRaisesCreateErrorAndKeepsIt) {
    // The user's own file, marked read-only, in a folder the user may write: a rename would
    // replace it, the platform's create refuses it.
    std::string path = dir_.Write("old.nc", "old\n");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(dir_.Folder()));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(path));
    chmod(path.c_str(), 0444);
    list_.AddLine("new");
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  try {
                      list_.SaveFile(path);
                  } catch (const EFCreateError& e) {
                      return e.Message() == "Datei " + path + " kann nicht erstellt werden"
                                 ? ""
                                 : e.Message();
                  }
                  return "no error raised";
              }),
              "");
    EXPECT_EQ(TTempDir::Read(path), "old\n");
}

TEST_F(CodeEditFilerTest, SaveThatFailsHalfwayKeepsTheOldFile) {
    // A file-size limit makes the disk "full" after 64 KiB.
    std::string path = dir_.Write("old.nc", "old contents\r\n");
    for (int i = 0; i < 20000; ++i)
        list_.AddLine("G1 X10 Y20");
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 65536;
    setrlimit(RLIMIT_FSIZE, &limited);
    EXPECT_THROW(list_.SaveFile(path), EWriteError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(TTempDir::Read(path), "old contents\r\n");
    // no temporary file is left behind
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir_.Folder()))
        (void)entry, ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(CodeEditFilerTest, WriterEnlargesItsBufferForALongLine) {
    std::string path = dir_.Path("w.nc");
    TCodeEditFileWriter writer(path);
    writer.SetLineBreakFormat(TLineBreakFormat::CRLF);
    writer.WriteLine("short");
    writer.WriteLine(std::string(40000, 'y'));
    EXPECT_GE(writer.BufferSize(), 40002u);
    writer.WriteLine("");
    writer.Commit();
    EXPECT_EQ(TTempDir::Read(path), "short\r\n" + std::string(40000, 'y') + "\r\n\r\n");
}
