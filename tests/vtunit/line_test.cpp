// The simulated unit as a program on a pseudo-terminal, driven from the configurator's side.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include "testkit/unit_process.h"

using namespace vttest;
using namespace std::chrono_literals;

namespace {

// The unit on com1 of a private folder, and the configurator's end of its line.
struct UnitLine : ::testing::Test, SimulatedUnit {
    LineEnd line;
    bool startAndOpen(std::vector<std::string> args) { return start(std::move(args)) && line.open(alias); }
};

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) {
    for (const auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (done()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return done();
}

// What comes from fd until it holds until, or the limit passes (until "": what is there now).
std::string readFrom(int fd, const std::string& until = "", std::chrono::milliseconds limit = 5s) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + limit;
    while ((until.empty() || got.find(until) == std::string::npos) && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, until.empty() ? 0 : 10) != 1) {
            if (until.empty()) break;
            continue;
        }
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

// The log lines a text holds or accounts for: its "rx" lines, and what its notes say were dropped.
std::size_t linesAccountedFor(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find("rx ", at)) != std::string::npos; ++at) ++n;
    const std::string note = "… ";
    for (std::size_t at = 0; (at = text.find(note, at)) != std::string::npos;)
        n += std::stoul(text.substr(at += note.size()));
    return n;
}

std::string sentImage() {
    std::string s;
    for (int i = 0; i < 128; ++i) s.push_back(static_cast<char>(i * 7 + 3));
    return s;
}

}  // namespace

TEST_F(UnitLine, WriteOverTheAliasFillsTheMemoryFile) {
    ASSERT_TRUE(startAndOpen({}));
    ASSERT_TRUE(line.ok());
    std::string replies;
    for (char c : "W\r" + sentImage()) {
        line.send(std::string(1, c));
        replies += line.receive(1);
    }
    EXPECT_EQ(replies, std::string(130, '\x06'));
    ASSERT_TRUE(UnitProcess::waitForPath(memoryFile));
    EXPECT_EQ(readWholeFile(memoryFile), sentImage());
}

// The files named on vtunit's command line follow the rule of every such output: a FIFO is
// written into, never replaced; a link of ours to a regular file is followed, the file behind
// it replaced with its mode kept.
TEST_F(UnitLine, ItsSlaveFileMayBeAFifoAndItsMemoryFileALink) {
    const std::string fifo = dir.file("slave-fifo"), link = dir.file("memory-link"), behind = dir.file("memory.bin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    vttest::writeBytes(behind, "earlier");
    ASSERT_EQ(::chmod(behind.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("memory.bin", link.c_str()), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    UnitProcess u(dir.path(), logFile, {"--no-link", "--slave-file", fifo, "--memory-file", link});
    LineEnd fromFifo;
    fromFifo.adopt(reader);
    const std::string said = fromFifo.receive(64, 2s);
    ASSERT_TRUE(said.starts_with("/dev/pts/") && said.ends_with("\n")) << said;
    EXPECT_EQ(std::filesystem::symlink_status(fifo).type(), std::filesystem::file_type::fifo);
    ASSERT_TRUE(line.open(said.substr(0, said.size() - 1)));
    line.send("I");
    EXPECT_EQ(line.receive(1), "\x06");
    ASSERT_TRUE(waitFor([&] { return readWholeFile(behind).size() == 128; }));
    EXPECT_EQ(readWholeFile(behind), std::string(128, '\0'));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::status(behind).permissions(), std::filesystem::perms::owner_read |
                                                                 std::filesystem::perms::owner_write |
                                                                 std::filesystem::perms::group_read);
}

// A memory file that is a FIFO nobody reads, or one whose reader never reads (its pipe soon
// full), holds back no answer: the images it cannot take are said on stderr and left out, and a
// stop signal still ends the unit and takes its alias away.
TEST(UnitMemoryFifo, NeverHoldsBackAnAnswerNorAStopSignal) {
    struct Row {
        bool reader;
        int signal;
        const char* said;
    } rows[] = {{false, SIGTERM, "nobody reads it"}, {true, SIGHUP, "its reader does not keep up"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.said);
        SimulatedUnit u;
        ASSERT_EQ(::mkfifo(u.memoryFile.c_str(), 0600), 0);
        const int reader = row.reader ? ::open(u.memoryFile.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
        ASSERT_TRUE(!row.reader || ::fcntl(reader, F_SETPIPE_SZ, 4096) >= 0);
        // The unit's stderr is a file of the test's while it starts.
        const int testErr = ::dup(2), unitErr = ::open(u.dir.file("err").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ::dup2(unitErr, 2);
        const bool started = u.start({});
        ::dup2(testErr, 2);
        ::close(testErr);
        ::close(unitErr);
        ASSERT_TRUE(started);
        LineEnd line(u.alias);
        int answered = 0;
        while (answered < 40) {  // 32 images fill the reader's pipe
            line.send("I");
            if (line.receive(1) != "\x06") break;
            ++answered;
        }
        EXPECT_EQ(answered, 40);
        EXPECT_NE(readWholeFile(u.dir.file("err")).find(row.said), std::string::npos)
            << readWholeFile(u.dir.file("err"));
        EXPECT_EQ(u.unit->stop(row.signal), 0);
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(u.alias)));
        if (reader >= 0) ::close(reader);
    }
}

// A log that cannot be written holds back no answer and no stop signal: stdout is a pipe nobody
// reads, or a terminal stopped with Ctrl-S. Every line is written or counted: the count is said
// in the log once it is read again, else on stderr at the end.
TEST(UnitLog, NeverHoldsBackAnAnswerNorAStopSignal) {
    const struct Row {
        bool terminal;
        bool readBeforeTheEnd;
        int signal;
    } rows[] = {{false, false, SIGTERM}, {false, true, SIGINT}, {true, false, SIGHUP}, {true, true, SIGTERM}};
    constexpr std::size_t kBytes = 20000;  // a log larger than what the pipe and the queue hold
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.terminal ? "terminal" : "pipe") + (row.readBeforeTheEnd ? ", read" : ""));
        SimulatedUnit u;
        int ends[2];  // read, write
        if (row.terminal) {
            ASSERT_EQ(::openpty(&ends[0], &ends[1], nullptr, nullptr, nullptr), 0);
            ASSERT_EQ(::write(ends[0], "\x13", 1), 1);  // Ctrl-S
        } else {
            ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
            ASSERT_GE(::fcntl(ends[1], F_SETPIPE_SZ, 4096), 0);
        }
        const int err = ::open(u.dir.file("err").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        u.unit = std::make_unique<UnitProcess>(u.dir.path(), UnitProcess::Start{ends[1], err, {}},
                                               std::vector<std::string>{});
        ::close(ends[1]);
        ::close(err);
        ASSERT_TRUE(UnitProcess::waitForPath(u.alias));
        LineEnd line(u.alias);
        std::size_t answered = 0;
        for (std::size_t got = 1000; answered < kBytes && got == 1000; answered += got) {
            line.send(std::string(1000, '5'));
            got = line.receive(1000, 2s).size();
        }
        EXPECT_EQ(answered, kBytes);
        std::string log;
        if (row.readBeforeTheEnd) {
            if (row.terminal) {
                ASSERT_EQ(::write(ends[0], "\x11", 1), 1);  // Ctrl-Q
            }
            log = readFrom(ends[0], "stdout was not read");
        }
        EXPECT_EQ(u.unit->stop(row.signal), 0);
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(u.alias)));
        log += readFrom(ends[0]);
        ::close(ends[0]);
        const std::string said = readWholeFile(u.dir.file("err"));
        EXPECT_NE((row.readBeforeTheEnd ? log : said).find(" log lines dropped: stdout was not read"),
                  std::string::npos)
            << said;
        EXPECT_EQ(linesAccountedFor(log) + linesAccountedFor(said), kBytes) << said;
    }
}

TEST_F(UnitLine, DumpArrivesAsOneAnswerAfterTheCommand) {
    ASSERT_TRUE(startAndOpen({}));
    line.send("W\r" + sentImage() + "6\r");
    EXPECT_EQ(line.receive(132).size(), 132u);
    line.send("D");
    const std::string dump = line.receive(130);
    ASSERT_EQ(dump.size(), 130u);
    EXPECT_EQ(dump[0], '\x06');
    EXPECT_EQ(dump.substr(1, 128), sentImage());
    EXPECT_EQ(dump[129], '\x06');
    EXPECT_EQ(line.receive(1, 100ms), "");
}

TEST_F(UnitLine, EveryReceivedByteIsLoggedInHex) {
    ASSERT_TRUE(startAndOpen({}));
    line.send("I\r\xAB");
    line.receive(3);
    unit->stop(SIGTERM);
    EXPECT_EQ(readWholeFile(logFile), "rx 49\nrx 0D\nrx AB\n");
}

// Also a signal that its parent had blocked ends it.
TEST_F(UnitLine, AliasIsRemovedOnSignals) {
    const struct {
        int signal;
        bool blockedByParent;
    } rows[] = {{SIGTERM, false}, {SIGINT, false},  {SIGHUP, false}, {SIGQUIT, false},
                {SIGUSR1, false}, {SIGALRM, false}, {SIGTERM, true}, {SIGHUP, true}};
    for (const auto& row : rows) {
        SimulatedUnit u;
        if (row.blockedByParent)
            u.unit = std::make_unique<UnitProcess>(u.dir.path(), UnitProcess::Start{-1, -1, {row.signal}},
                                                   std::vector<std::string>{});
        ASSERT_TRUE(row.blockedByParent ? UnitProcess::waitForPath(u.alias) : u.start({}));
        EXPECT_EQ(u.unit->stop(row.signal), 0) << row.signal;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(u.alias))) << row.signal;
        EXPECT_EQ(listing(u.dir.file("vtconfig/ports")), "") << "its record goes with it";
    }
}

// A unit forced over a running one owns the alias and its record from then on: the first, ending,
// leaves both to it, so that the alias is still known as a unit's once the second is killed.
TEST_F(UnitLine, AUnitForcedOverARunningOneKeepsTheRecordWhenTheFirstEnds) {
    ASSERT_TRUE(start({}));
    const auto first = std::filesystem::read_symlink(alias);
    UnitProcess second(dir.path(), dir.file("log2"), {"--port", "com1", "--force"});
    ASSERT_TRUE(waitFor([&] { return std::filesystem::read_symlink(alias) != first; }));
    EXPECT_EQ(unit->stop(SIGTERM), 0);
    EXPECT_EQ(listing(dir.file("vtconfig/ports")), "com1\ncom1.unit\n");
}

TEST_F(UnitLine, AnExistingAliasIsKeptUnlessForced) {
    const std::string com3 = dir.portAlias(3);
    dir.linkPort(3, "/dev/ttyUSB0");
    {
        UnitProcess refused(dir.path(), dir.file("log"), {"--port", "com3"});
        EXPECT_EQ(refused.waitExit(5s), 2);
        EXPECT_EQ(std::filesystem::read_symlink(com3), "/dev/ttyUSB0");
    }
    {
        UnitProcess forced(dir.path(), dir.file("log"), {"--port", "com3", "--force"});
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (std::filesystem::read_symlink(com3) == "/dev/ttyUSB0" && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(5ms);
        EXPECT_NE(std::filesystem::read_symlink(com3), "/dev/ttyUSB0");
        EXPECT_EQ(forced.stop(SIGTERM), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(com3)));
    writeBytes(dir.portAlias(4), "mine");
    UnitProcess onAFile(dir.path(), dir.file("log"), {"--port", "com4", "--force"});
    EXPECT_EQ(onAFile.waitExit(5s), 2) << "only a link is ever replaced";
    EXPECT_EQ(readWholeFile(dir.portAlias(4)), "mine");
}

TEST_F(UnitLine, ReopeningTheLineAfterTheOtherSideClosedStillWorks) {
    ASSERT_TRUE(start({}));
    {
        LineEnd first(alias);
        first.send("1");
        EXPECT_EQ(first.receive(1), "\x06");
    }
    std::this_thread::sleep_for(50ms);
    LineEnd second(alias);
    second.send("2");
    EXPECT_EQ(second.receive(1), "\x06");
}

TEST_F(UnitLine, HangupMakesTheLineVanish) {
    ASSERT_TRUE(startAndOpen({"--hangup-after", "3"}));
    line.send("W\r");
    EXPECT_EQ(line.receive(2), "\x06\x06");
    line.send("\x01");
    EXPECT_TRUE(line.hungUp());
    EXPECT_EQ(unit->waitExit(5s), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(alias)));
}

TEST_F(UnitLine, FloodSendsExactlyNBytesAfterTheFirstAnswer) {
    ASSERT_TRUE(startAndOpen({"--flood", "100000"}));
    line.send("I");
    const std::string got = line.receive(100001, 10s);
    ASSERT_EQ(got.size(), 100001u);
    EXPECT_EQ(got[0], '\x06');
    for (std::size_t i = 1; i < got.size(); ++i) ASSERT_EQ(static_cast<unsigned char>(got[i]), (i - 1) & 0xFF) << i;
    EXPECT_EQ(line.receive(1, 100ms), "");
}

TEST_F(UnitLine, ReplyDelayHoldsTheAnswerBack) {
    ASSERT_TRUE(startAndOpen({"--reply-delay", "1000"}));
    line.send("I");
    EXPECT_EQ(line.receive(1, 200ms), "");
    EXPECT_EQ(line.receive(1, 5s), "\x06");
}

TEST_F(UnitLine, BaudPacingSpreadsTheDump) {
    ASSERT_TRUE(startAndOpen({"--baud", "100"}));  // 100 ms a byte
    line.send("D");
    const std::string early = line.receive(130, 500ms);
    EXPECT_GE(early.size(), 1u);
    EXPECT_LT(early.size(), 20u);
}

// A handshake on a paced line takes a byte time for the byte to reach the unit and one for the
// answer to come back: never less than two byte times.
TEST_F(UnitLine, BaudPacingTakesTwoByteTimesPerHandshake) {
    ASSERT_TRUE(startAndOpen({"--baud", "100"}));  // 100 ms a byte
    const auto sent = std::chrono::steady_clock::now();
    line.send("I");
    EXPECT_EQ(line.receive(1, 5s), "\x06");
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 200ms);
}

// Each answer waits for the next tick of the latency timer, so handshakes sent one after the
// other's answer take a tick each, however fast the line.
TEST_F(UnitLine, LatencyTimerHoldsEachAnswerUntilItsNextTick) {
    ASSERT_TRUE(startAndOpen({"--latency", "100"}));
    const auto sent = std::chrono::steady_clock::now();
    for (const char* command : {"1", "2", "3", "4"}) {
        line.send(command);
        ASSERT_EQ(line.receive(1, 5s), "\x06") << command;
    }
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 300ms);
}

TEST_F(UnitLine, SlaveCanBeUsedWithoutAnAlias) {
    UnitProcess p(dir.path(), dir.file("log"), {"--no-link", "--slave-file", dir.file("slave"), "--print-slave"});
    ASSERT_TRUE(UnitProcess::waitForPath(dir.file("slave")));
    std::string path = readWholeFile(dir.file("slave"));
    ASSERT_FALSE(path.empty());
    path.pop_back();
    line.open(path);
    line.send("5");
    EXPECT_EQ(line.receive(1), "\x06");
    EXPECT_FALSE(std::filesystem::exists(dir.file("vtconfig")));
    p.stop(SIGTERM);
    EXPECT_EQ(readWholeFile(dir.file("log")), "slave " + path + "\nrx 35\n");
}

// With standard output and error closed, the pty must not take their numbers: the slave line and
// the log would go down the simulated line.
TEST_F(UnitLine, WithStandardOutputAndErrorClosedTheLineCarriesOnlyReplies) {
    UnitProcess p(dir.path(), "", {"--no-link", "--slave-file", dir.file("slave"), "--print-slave"});
    ASSERT_TRUE(UnitProcess::waitForPath(dir.file("slave")));
    const std::string path = readWholeFile(dir.file("slave"));
    ASSERT_TRUE(path.ends_with('\n') && line.open(path.substr(0, path.size() - 1))) << path;
    line.send("56");
    EXPECT_EQ(line.receive(2), "\x06\x06");
}

TEST_F(UnitLine, HelpAndBadOptions) {
    UnitProcess help(dir.path(), dir.file("help"), {"--help"});
    EXPECT_EQ(help.waitExit(5s), 0);
    EXPECT_NE(readWholeFile(dir.file("help")).find("Usage: vtunit"), std::string::npos);
    UnitProcess bad(dir.path(), dir.file("bad"), {"--stop-after", "many"});
    EXPECT_EQ(bad.waitExit(5s), 2);
}
