// relan-cli's outputs when writing them fails: standard output that cannot be
// written, a reader that closes the pipe, a workbook on a full disc or beyond a file
// size limit, an interrupt during the write, two programs writing one workbook; and
// the writer's own checks of what it wrote.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "../write_failures.h"
#include "frontend/file_write.h"

namespace {

namespace fs = std::filesystem;
using relan::writes::Bash;
using relan::writes::Failure;
using relan::writes::Quote;
using relan::writes::ReadFile;
using relan::writes::WriteFile;

const std::string kCli = RELAN_CLI;
const std::string kTiny = std::string(RELAN_FIXTURES) + "/app/tiny.txt";
const std::string kCauses = std::string(RELAN_FIXTURES) + "/app/causes5.txt";

class CliOutput : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("relan-output-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A fleet of `failures` failures of one cause, drawn evenly over 2500 h: large
    // enough that its workbook takes a moment to write and its JSON fills a pipe.
    std::string Fleet(int failures) {
        std::string text = "Парк для записи\n3000\n400\n100000\n" + std::to_string(failures) + "\n1\nДвигатель\n";
        std::mt19937 gen(7);
        std::uniform_real_distribution<double> t(1.0, 2500.0);
        char line[64];
        for (int i = 0; i < failures; ++i) {
            std::snprintf(line, sizeof line, "%.1f\tДвигатель * отказ %d\n", t(gen), i);
            text += line;
        }
        const fs::path p = dir_ / ("fleet-" + std::to_string(failures) + ".txt");
        WriteFile(p, text);
        return p.string();
    }

    // The names in `folder` that are not `keep`.
    static std::vector<std::string> Others(const fs::path& folder, const std::string& keep) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            if (e.path().filename() != keep) names.push_back(e.path().filename().string());
        return names;
    }

    fs::path dir_;
};

// ---- standard output ----

TEST_F(CliOutput, StandardOutputThatCannotBeWrittenEndsWithStatusFourAndItsReason) {
    const std::string commands[] = {
        "load " + kCauses,
        "load " + kCauses + " --json",
        "crit " + kCauses + " --B 3000 --A 1.2 --K 0.8",
        "crit " + kCauses + " --B 3000 --A 1.2 --K 0.8 --json",
        "fit " + kCauses + " --virtual-clock 4000",
        "fit " + kCauses + " --virtual-clock 4000 --json",
        "fit " + kCauses + " --virtual-clock 4000 --csv",
    };
    struct Where {
        const char* redirect;
        const char* reason;
    };
    const Where wheres[] = {{"> /dev/full", "нет места на диске"}, {">&-", "вывод закрыт"}};
    for (const std::string& c : commands)
        for (const Where& w : wheres) {
            SCOPED_TRACE(c + " " + w.redirect);
            const relan::writes::Run r = Bash(Quote(kCli) + " " + c + " " + w.redirect, dir_);
            EXPECT_EQ(r.status, 4) << r.err;
            EXPECT_NE(r.err.find(std::string("стандартный вывод не записан: ") + w.reason), std::string::npos)
                << r.err;
        }
    // A file on a full disc, written by the shell's redirection.
    const fs::path scratch = dir_ / "disc";
    fs::create_directories(scratch);
    if (!relan::writes::FullDiscPossible(scratch)) GTEST_SKIP() << "no private tmpfs can be mounted here";
    for (const char* c : {"load", "fit"}) {
        SCOPED_TRACE(c);
        const relan::writes::Left left = relan::writes::WriteFailing(
            Failure::FullDisc, Quote(kCli) + " " + c + " " + Quote(kCauses) + " --json > {DIR}/out.json",
            "out.json", "", scratch);
        EXPECT_EQ(left.run.status, 4) << left.run.err;
        EXPECT_NE(left.run.err.find("стандартный вывод не записан: нет места на диске"), std::string::npos)
            << left.run.err;
    }
}

TEST_F(CliOutput, AReaderThatClosesThePipeEndsTheProgramQuietly) {
    // About a megabyte of JSON: far more than a pipe holds once `head` has gone.
    const std::string fleet = Fleet(20000);
    for (const char* pipe : {"", "trap '' PIPE; "}) {
        SCOPED_TRACE(*pipe ? "SIGPIPE ignored" : "SIGPIPE as usual");
        const relan::writes::Run r =
            Bash(std::string(pipe) + Quote(kCli) + " load " + Quote(fleet) + " --json 2>" +
                     Quote((dir_ / "err").string()) + " | head -c 100 >/dev/null; echo ${PIPESTATUS[0]}",
                 dir_);
        // Ended as a program whose reader is gone ends: by SIGPIPE, without a word.
        EXPECT_EQ(r.out, std::to_string(128 + SIGPIPE) + "\n");
        EXPECT_EQ(ReadFile(dir_ / "err"), "");
    }
}

// ---- the workbook ----

TEST_F(CliOutput, AWorkbookThatCannotBeWrittenWholeLeavesTheOldOneAsItWas) {
    const std::string old = "старая книга, которую нельзя терять\n";
    struct Case {
        Failure failure;
        const char* reason;
    };
    const Case cases[] = {{Failure::FullDisc, "нет места на диске"},
                          {Failure::SizeLimit, "файл больше допустимого размера"}};
    const bool fullDisc = relan::writes::FullDiscPossible(dir_);
    for (const Case& c : cases) {
        SCOPED_TRACE(relan::writes::Name(c.failure));
        if (c.failure == Failure::FullDisc && !fullDisc) {
            std::printf("skipped: no private tmpfs can be mounted here\n");
            continue;
        }
        const relan::writes::Left left = relan::writes::WriteFailing(
            c.failure,
            Quote(kCli) + " fit " + Quote(kTiny) + " --virtual-clock 4000 --xlsx {DIR}/book.xlsx >/dev/null",
            "book.xlsx", old, dir_);
        EXPECT_EQ(left.run.status, 4) << left.run.err;
        EXPECT_NE(left.run.err.find("book.xlsx» не записан: " + std::string(c.reason)), std::string::npos)
            << left.run.err;
        // The program's words only: none of the spreadsheet library's own lines.
        EXPECT_EQ(left.run.err.find("[ERROR]"), std::string::npos) << left.run.err;
        EXPECT_EQ(left.run.err.find("[WARNING]"), std::string::npos) << left.run.err;
        ASSERT_TRUE(left.targetThere);
        EXPECT_EQ(left.target, old);
        EXPECT_TRUE(left.others.empty()) << left.others.front();
    }
}

TEST_F(CliOutput, AnInterruptDuringTheWorkbooksWriteLeavesTheOldOneAndNoTemporaryFile) {
    const std::string fleet = Fleet(60000);
    const std::string old = "старая книга\n";
    for (int sig : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(sig);
        const fs::path folder = dir_ / ("interrupt-" + std::to_string(sig));
        fs::create_directories(folder);
        const fs::path book = folder / "book.xlsx";
        WriteFile(book, old);
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGTERM, SIG_DFL);
            if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) ::_exit(126);
            ::execl(kCli.c_str(), "relan-cli", "fit", fleet.c_str(), "--models", "1.2", "--virtual-clock",
                    "100000", "--xlsx", book.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The temporary file beside the target shows the write is under way.
        bool seen = false;
        int st = 0;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!seen && std::chrono::steady_clock::now() < until && ::waitpid(pid, &st, WNOHANG) == 0) {
            seen = !Others(folder, "book.xlsx").empty();
            if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (seen) {
            ::kill(pid, sig);
            ::waitpid(pid, &st, 0);
        }
        ASSERT_TRUE(seen) << "the workbook's write was not caught under way";
        EXPECT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == sig) << st;
        EXPECT_EQ(ReadFile(book), old);
        const std::vector<std::string> left = Others(folder, "book.xlsx");
        EXPECT_TRUE(left.empty()) << left.front();
    }
}

TEST_F(CliOutput, TwoProgramsWritingOneWorkbookLeaveOneWholeWorkbook) {
    const std::string fleet = Fleet(30000);
    const fs::path book = dir_ / "book.xlsx";
    WriteFile(book, "старая книга\n");
    const std::string one = Quote(kCli) + " fit " + Quote(fleet) + " --models 1.2 --virtual-clock 100000 --xlsx " +
                            Quote(book.string()) + " >/dev/null";
    const relan::writes::Run r =
        Bash(one + " & p1=$!; " + one + " & p2=$!; wait $p1; a=$?; wait $p2; echo $a $?", dir_);
    EXPECT_EQ(r.out, "0 0\n") << r.err;
    // The last rename won: a whole archive, and nothing else beside it.
    const int fd = ::open(book.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    struct stat st {};
    ::fstat(fd, &st);
    EXPECT_EQ(relcli::ZipFileCheck()(fd, static_cast<std::uint64_t>(st.st_size)), nullptr);
    ::close(fd);
    const std::vector<std::string> left = Others(dir_, "book.xlsx");
    for (const std::string& n : left) EXPECT_TRUE(n.rfind("fleet-", 0) == 0) << n;
}

// ---- the writer's checks ----

// A whole workbook and the same cut short: the end of the archive is its directory.
TEST_F(CliOutput, TheWorkbookCheckFindsAnArchiveCutShort) {
    const fs::path book = dir_ / "book.xlsx";
    ASSERT_EQ(Bash(Quote(kCli) + " fit " + Quote(kTiny) + " --virtual-clock 4000 --xlsx " + Quote(book.string()) +
                       " >/dev/null",
                   dir_)
                  .status,
              0);
    const std::string whole = ReadFile(book);
    ASSERT_GT(whole.size(), 1000u);
    auto check = [this](const std::string& bytes) {
        const fs::path p = dir_ / "probe.xlsx";
        WriteFile(p, bytes);
        const int fd = ::open(p.c_str(), O_RDONLY);
        const char* why = relcli::ZipFileCheck()(fd, bytes.size());
        ::close(fd);
        return why;
    };
    EXPECT_EQ(check(whole), nullptr);
    for (std::size_t cut :
         {std::size_t{1}, std::size_t{10}, std::size_t{22}, std::size_t{23}, whole.size() / 2, whole.size() - 100})
        EXPECT_NE(check(whole.substr(0, whole.size() - cut)), nullptr) << "cut by " << cut;
    // Its directory in the zip64 form of large archives: found through the locator.
    const std::size_t end = whole.size() - 22;
    ASSERT_EQ(whole.compare(end, 4, "PK\x05\x06"), 0);
    auto le = [](std::uint64_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    auto num = [&whole](std::size_t at, int n) {
        std::uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(whole[at + i]);
        return v;
    };
    const std::uint64_t entries = num(end + 10, 2), dirSize = num(end + 12, 4), dirAt = num(end + 16, 4);
    std::string z64 = whole.substr(0, end);
    const std::uint64_t recAt = z64.size();
    z64 += std::string("PK\x06\x06", 4) + le(44, 8) + le(45, 2) + le(45, 2) + le(0, 4) + le(0, 4) +
           le(entries, 8) + le(entries, 8) + le(dirSize, 8) + le(dirAt, 8);
    z64 += std::string("PK\x06\x07", 4) + le(0, 4) + le(recAt, 8) + le(1, 4);
    z64 += std::string("PK\x05\x06", 4) + le(0, 2) + le(0, 2) + le(0xFFFF, 2) + le(0xFFFF, 2) + le(0xFFFFFFFF, 4) +
           le(0xFFFFFFFF, 4) + le(0, 2);
    EXPECT_EQ(check(z64), nullptr);
    EXPECT_NE(check(z64.substr(0, z64.size() - 30)), nullptr);
}

TEST(WholeFile, ThePdfCheckWantsTheTrailerAndTheTableItNames) {
    std::string body = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
    const std::size_t xref = body.size();
    body += "xref\n0 2\n0000000000 65535 f \n0000000009 00000 n \ntrailer\n<< /Size 2 /Root 1 0 R >>\n";
    const std::string whole = body + "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
    EXPECT_EQ(relcli::PdfCheck(whole), nullptr);
    struct Case {
        std::string bytes;
        const char* what;
    };
    const Case cases[] = {
        {whole.substr(0, whole.size() - 3), "cut in the end mark"},
        {whole.substr(0, xref + 10), "cut in the table"},
        {whole.substr(0, 40), "cut in the first object"},
        {"", "empty"},
        {body + "startxref\n" + std::to_string(xref + 3) + "\n%%EOF\n", "the trailer names another place"},
        {body + "startxref\n\n%%EOF\n", "no offset"},
        {std::string(100, '\0') + "%%EOF", "zeros where a page was"},
    };
    for (const Case& c : cases) EXPECT_NE(relcli::PdfCheck(c.bytes), nullptr) << c.what;
}

TEST(WholeFile, AnInterruptRemovesTheTemporaryFileAndEndsTheProgramAsTheSignalWould) {
    const fs::path dir = fs::temp_directory_path() / ("relan-guard-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    struct Case {
        int sig;
        bool ignored;  // set aside before the write: it stays so
    };
    const Case cases[] = {{SIGINT, false}, {SIGTERM, false}, {SIGHUP, false}, {SIGTERM, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sig) + (c.ignored ? " ignored" : ""));
        const fs::path temp = dir / "book.xlsx.abcdef.part";
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::signal(c.sig, c.ignored ? SIG_IGN : SIG_DFL);
            WriteFile(temp, "half a workbook");
            relcli::TempFileGuard guard;
            guard.Adopt(temp.string());
            ::raise(c.sig);
            // Reached only when the signal was set aside; the write goes on.
            guard.Release();
            ::_exit(fs::exists(temp) ? 0 : 3);
        }
        int st = 0;
        ::waitpid(pid, &st, 0);
        if (c.ignored) {
            EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << st;
            EXPECT_TRUE(fs::exists(temp));
        } else {
            EXPECT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == c.sig) << st;
            EXPECT_FALSE(fs::exists(temp));
        }
        fs::remove(temp);
    }
    fs::remove_all(dir);
}

TEST(WholeFile, ReplacesTheFileALinkNamesKeepsItsPermissionsAndSaysWhyItFailed) {
    const fs::path dir = fs::temp_directory_path() / ("relan-whole-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    const fs::path real = dir / "real" / "table.csv", link = dir / "table.csv";
    WriteFile(real, "old");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, link);
    ASSERT_TRUE(relcli::WriteWholeFile(link.string(), "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), "new");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);

    // A device is written into; what cannot be written says why, in the user's words.
    EXPECT_TRUE(relcli::WriteWholeFile("/dev/null", "bytes"));
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {"/dev/full", "нет места на диске"},
        {(dir / "real").string(), "это папка, а не файл"},
        {(dir / "нет" / "table.csv").string(), "папка не существует"},
        {(real / "table.csv").string(), "часть пути не является папкой"},
        {"", "не указано имя файла"},
    };
    for (const Case& c : cases) {
        const relcli::WriteOutcome r = relcli::WriteWholeFile(c.path, "bytes");
        EXPECT_FALSE(r) << c.path;
        EXPECT_EQ(relcli::FailureMessage(c.path, r), "Файл «" + c.path + "» не записан: " + c.reason);
    }
    EXPECT_EQ(ReadFile(real), "new");
    fs::remove_all(dir);
}

}  // namespace
