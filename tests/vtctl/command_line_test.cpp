// vtctl's command line and texts, and what its tap on a port counts, without a unit.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/device/fake_port.h"
#include "tools/vtctl/hex_rows.h"
#include "tools/vtctl/options.h"
#include "tools/vtctl/report.h"
#include "tools/vtctl/tapped_port.h"

using namespace vtctl;

TEST(VtctlCommandLine, TakesEachCommandWithItsArguments) {
    auto r = parseOptions({"--port", "com3", "--port=/dev/ttyUSB0", "--baud", "115200", "channel", "7"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.ports, (std::vector<std::string>{"com3", "/dev/ttyUSB0"}));
    EXPECT_EQ(r.options.baud, 115200);
    EXPECT_EQ(r.options.command, Command::Channel);
    EXPECT_EQ(r.options.channel, 7);

    r = parseOptions({"send", "41", "0x0d", "f", "--quiet-ms", "5", "--raw", "--timeout", "3600"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.bytes, (std::vector<std::uint8_t>{0x41, 0x0D, 0x0F}));
    EXPECT_EQ(r.options.quietMs, 5);
    EXPECT_EQ(r.options.timeoutS, 3600);
    EXPECT_TRUE(r.options.raw);

    r = parseOptions({"write", "t.h"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.file, "t.h");
    EXPECT_TRUE(r.options.ports.empty());  // com1
    EXPECT_EQ(r.options.baud, 9600);
    EXPECT_EQ(r.options.quietMs, 200);
    EXPECT_EQ(r.options.timeoutS, 10);
    EXPECT_TRUE(parseOptions({"--help"}).options.help);
}

TEST(VtctlCommandLine, RefusesWhatItCannotDoWithTheReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad{
        {{}, "no command"},
        {{"erase"}, "unknown command 'erase'"},
        {{"--baud", "4800", "init"}, "--baud: 9600 or 115200"},
        {{"--port", "ttyS0", "init"}, "--port: not comN or a device path"},
        {{"--port", "com0", "init"}, "--port: not comN"},
        {{"init", "--port"}, "--port needs a value"},
        {{"--raw=1", "dump"}, "--raw takes no value"},
        {{"--bogus", "init"}, "unknown option '--bogus'"},
        {{"channel", "8"}, "channel: 0 ... 7"},
        {{"channel"}, "channel: missing argument"},
        {{"dump", "now"}, "dump: too many arguments"},
        {{"send", "100"}, "send: not a byte"},
        {{"send", "0x"}, "send: not a byte"},
        {{"write", ""}, "write: empty file name"},
        {{"--quiet-ms", "0", "dump"}, "--quiet-ms:"},
        {{"--raw", "init"}, "--raw: only for dump and send"},
        {{"--timeout", "3601", "dump"}, "--timeout: a whole number of seconds 1 ... 3600"},
        {{"--timeout", "5", "write", "t.h"}, "--timeout: only for dump and send"},
        {{"--raw", "--port", "com1", "--port", "com2", "dump"}, "--raw: one port only"},
    };
    for (const auto& [args, reason] : bad) {
        const ParseResult r = parseOptions(args);
        EXPECT_NE(r.error.find(reason), std::string::npos) << r.error << " / " << reason;
    }
}

TEST(VtctlTexts, RowsOfSixteenAndOneLinePerPort) {
    const std::string bytes = std::string("\x06", 1) + std::string(15, '\0') + "\xAB";
    EXPECT_EQ(hexRows(bytes, "com2: "), "com2: 06 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\ncom2: AB\n");
    EXPECT_EQ(hexRows(""), "");

    JobResult done;
    done.outcome = JobResult::Outcome::Done;
    done.elapsedMs = 352;
    EXPECT_EQ(summaryLine("com1", done), "com1: done in 0.352 s");
    JobResult silent;
    silent.outcome = JobResult::Outcome::NoReply;
    silent.elapsedMs = 12004;
    EXPECT_EQ(summaryLine("/dev/ttyUSB0", silent), "/dev/ttyUSB0: failed after 12.004 s: No reply from the unit");
}

// The progress line and the bytes an interrupted write is short of count what went out: a byte
// the port could not write is not sent.
TEST(VtctlTap, CountsOnlyTheBytesThePortWrote) {
    vttest::FakePort port;
    port.open = true;
    std::atomic<int> sent{0};
    TappedPort tap(port, sent);
    for (const bool fails : {false, true, false}) {
        port.writesFail = fails;
        tap.WriteByte(0x57);
    }
    EXPECT_EQ(sent.load(), 2);
}
