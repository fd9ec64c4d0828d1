// vtplan end to end: the real binary, its output lines, error texts and exit codes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include <algorithm>
#include <random>

#include "testkit/temp_dir.h"
#include "tests/planning/exact_reference.h"

extern char** environ;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// input: the file standard input reads ("": the test's own).
Outcome vtplan(const std::vector<std::string>& args, const std::string& locale = "C.UTF-8",
               const std::string& input = "") {
    const vttest::TempDir dir;
    const std::string outPath = dir.file("out"), errPath = dir.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!input.empty()) posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argStore{VTPLAN_PATH};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string_view(*e).substr(0, 3) != "LC_" && std::string_view(*e).substr(0, 5) != "LANG=")
            envStore.emplace_back(*e);
    envStore.push_back("LC_ALL=" + locale);
    std::vector<char*> envp;
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    Outcome run;
    pid_t pid = 0;
    if (posix_spawn(&pid, VTPLAN_PATH, &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = vttest::readWholeFile(outPath);
    run.err = vttest::readWholeFile(errPath);
    return run;
}

// A locale whose decimal separator is a comma, if the machine has one.
std::string installedCommaLocale() {
    std::string found;
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
            found = name;
            break;
        }
    std::setlocale(LC_NUMERIC, saved.c_str());
    return found;
}

// Compiles name ("de_DE.UTF-8") from the locale sources (Debian's "locales") into a private
// folder that LOCPATH names for this program and the tools it starts; false when it cannot. The
// machine's own locales are never touched. Once LOCPATH is set only that folder is looked in, and
// glibc remembers a failed lookup: a locale is looked up there only after it has been compiled.
bool compilePrivateLocale(const std::string& name) {
    static const vttest::TempDir dir;
    const std::string source = name.substr(0, name.find('.'));
    if (::access(("/usr/share/i18n/locales/" + source).c_str(), R_OK) != 0) return false;
    const std::string command = "localedef -i " + source + " -f UTF-8 '" + dir.file(name) + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1 || ::access(dir.file(name).c_str(), R_OK) != 0) return false;
    ::setenv("LOCPATH", dir.path().c_str(), 1);
    return true;
}

bool privateLocalesOnly() { return std::getenv("LOCPATH") != nullptr; }

// installedCommaLocale(), else de_DE compiled privately.
std::string commaLocale() {
    static const std::string locale = [] {
        if (std::string found = privateLocalesOnly() ? "" : installedCommaLocale(); !found.empty()) return found;
        return compilePrivateLocale("de_DE.UTF-8") ? installedCommaLocale() : std::string();
    }();
    return locale;
}

// Japanese in UTF-8, installed or compiled privately; "" when neither.
std::string japaneseLocale() {
    static const std::string locale = [] {
        const char* const name = "ja_JP.UTF-8";
        const auto usable = [name] {  // setlocale, not newlocale: glibc's newlocale leaks LOCPATH
            const std::string saved = std::setlocale(LC_TIME, nullptr);
            const bool known = std::setlocale(LC_TIME, name) != nullptr;
            std::setlocale(LC_TIME, saved.c_str());
            return known;
        };
        const bool found = (!privateLocalesOnly() && usable()) || (compilePrivateLocale(name) && usable());
        return found ? std::string(name) : std::string();
    }();
    return locale;
}

}  // namespace

TEST(Vtplan, WorkedExample) {
    const Outcome r = vtplan({"12340", "100", "10", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "VcoHz 123400000\nPdHz 5000000\nVcoMHz 123.4\nR 2\nN_INT 12\nNFrac 5704253\nFFRAC 28521267200000\n"
              "RefReg 04000004\nIntgReg 06000018\nFracReg 08AE147A\nCPReg 13407FFE\nSDReg 0C0016FC\n"
              "ActualHz 12339999973.774\nErrorHz -26.226\nFracSpurHz 1699999.869\nBeatSpurHz 1600000.262\n"
              "SpurOffsetHz 1600000.262\n");
}

// The spur offset in the plan's format; nearer than --spur-warn (default 1 MHz) it is a warning on
// standard error, and the plan still succeeds.
TEST(Vtplan, SpurOffsetAndItsWarning) {
    Outcome r = vtplan({"12340", "100", "10", "3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.ends_with("\nSpurOffsetHz 66678.921\n")) << r.out;
    EXPECT_EQ(r.err,
              "vtplan: warning: the nearest spur (BeatSpurHz) is 66678.921 Hz from the carrier, closer than "
              "1000000 Hz\n");
    r = vtplan({"--spur-warn", "66679", "12340", "100", "10", "3"});
    EXPECT_NE(r.err.find("closer than 66679 Hz"), std::string::npos);
    EXPECT_EQ(vtplan({"--spur-warn=66678", "12340", "100", "10", "3"}).err, "");
    // The divider's own spur, which the beat alone would miss.
    EXPECT_EQ(vtplan({"9876.54321", "48", "19.2", "5"}).err,
              "vtplan: warning: the nearest spur (FracSpurHz) is 799341.888 Hz from the carrier, closer than "
              "1000000 Hz\n");
    EXPECT_EQ(vtplan({"--spur-warn", "1600001", "12340", "100", "10", "2"}).status, 0);
    EXPECT_NE(vtplan({"--spur-warn", "1600001", "12340", "100", "10", "2"}).err.find("1600000.262 Hz"),
              std::string::npos);

    r = vtplan({"--spur-warn", "2147483647", "12000", "100", "10", "1"});  // N exactly 6: integer mode
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(
        r.out.ends_with("\nNFrac 0\nFFRAC 0\nRefReg 04000002\nIntgReg 0600000C\nFracReg 08000000\n"
                        "CPReg 13407FFE\nSDReg 0C0016FC\nActualHz 12000000000.000\nErrorHz 0.000\n"
                        "FracSpurHz none\nBeatSpurHz none\nSpurOffsetHz none\n"))
        << r.out;
    EXPECT_EQ(r.err, "");
    for (const char* bad : {"-1", "1.5", "", "x", "2147483648"})
        EXPECT_EQ(vtplan({"--spur-warn", bad, "12340", "100", "10", "2"}).status, 2) << bad;
}

// An R the 02h word cannot hold: the words keep 16384, a warning says so, the exit status stays
// and the figures are those of the words.
TEST(Vtplan, AnRAboveWhatTheWordHoldsIsWarnedOf) {
    const Outcome r = vtplan({"12340", "100", "10", "20000"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vtplan: warning: R 20000 is above 16384, the most the 02h word holds; the words use R 16384\n");
    EXPECT_NE(r.out.find("\nR 20000\n"), std::string::npos) << r.out;
    EXPECT_TRUE(
        r.out.ends_with("\nRefReg 04008000\nIntgReg 0603C410\nFracReg 08000000\nCPReg 13407FFE\nSDReg "
                        "0C0016FC\nActualHz 15063476562.500\nErrorHz 2723476562.500\nFracSpurHz none\n"
                        "BeatSpurHz none\nSpurOffsetHz none\n"))
        << r.out;
    EXPECT_EQ(vtplan({"--spur-warn", "0", "12340", "100", "10", "16384"}).err, "");
}

TEST(Vtplan, OptionsReachTheWords) {
    const Outcome r = vtplan({"--up", "0",      "--down=0", "--offset", "0", "--offset-dir", "down", "--hik",
                              "off",  "--seed", "0",        "--mode",   "0", "--frac-rstb",  "0",    "--frac-bypass",
                              "0",    "12340",  "100",      "10",       "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("CPReg 12800000\n"), std::string::npos);
    EXPECT_NE(r.out.find("SDReg 0C0006E0\n"), std::string::npos);
}

TEST(Vtplan, ErrorsAsTheErrorBoxShowsThem) {
    Outcome r = vtplan({"12340", "100.0", "10", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "'100.0' は整数ではありません.\n");

    r = vtplan({"%s%n", "100", "10", "2"});
    EXPECT_EQ(r.err, "'%s%n' は浮動小数点数ではありません.\n");

    r = vtplan({"12340", "0", "10", "2"});
    EXPECT_EQ(r.err, "0 による浮動小数点数除算.\n");

    r = vtplan({"12340", "1", "10", "10000000"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "'6170000000' は整数ではありません.\n");

    r = vtplan({"--", "12340", "-100", "10", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Register 03h data -12 is out of range 0 to 16777215.\n");
}

// An encoding error comes after the plan lines the search produced, as the window keeps
// the labels it had set; --help is the usage on standard output.
TEST(Vtplan, EncodingErrorFollowsThePlanLinesAndHelpIsNoError) {
    Outcome r = vtplan({"--", "12340", "-100", "10", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "VcoHz -123400000\nPdHz 5000000\nVcoMHz -123.4\nR 2\nN_INT -12\nNFrac -5704252\n"
              "FFRAC -28521267200000\n");
    EXPECT_EQ(r.err, "Register 03h data -12 is out of range 0 to 16777215.\n");

    r = vtplan({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: vtplan", 0), 0u);
}

TEST(Vtplan, DoubleDashAllowsNegativeOperands) {
    const Outcome r = vtplan({"--", "-9223372036854.775808", "-1", "10", "1"});
    // VcoHz wraps to the minimum instead of trapping; the encoding then refuses N_INT.
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "'-461168601842' は整数ではありません.\n");
}

TEST(Vtplan, UsageErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"12340", "100", "10"},
                                                                  {"12340", "100", "10", "2", "5"},
                                                                  {"12340", "100", "10", "-2"},
                                                                  {"--up", "128", "12340", "100", "10", "2"},
                                                                  {"--hik", "maybe", "12340", "100", "10", "2"},
                                                                  {"--bogus", "1", "12340", "100", "10", "2"},
                                                                  {"12340", "100", "10", "2", "--up"}}) {
        const Outcome r = vtplan(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_EQ(r.out, "") << joined;
        EXPECT_NE(r.err.find("usage: vtplan"), std::string::npos) << joined;
    }
}

// A value out of range names the range it must lie in.
TEST(Vtplan, AValueOutOfRangeNamesTheRange) {
    const std::vector<std::string> plan{"12340", "100", "10"};
    for (const auto& [args, said] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--spur-warn", "-5", "2"}, "bad value for --spur-warn: -5 (a whole number of Hz from 0 to 2147483647)"},
             {{"--compare-r", "4-3", "2"},
              "bad value for --compare-r: 4-3 (A-B, whole numbers with 1 <= A <= B, at most 1000 values)"},
             {{"--compare-r", "1-4", "2147483648"},
              "R must be a whole number from 1 to 2147483647 with --compare-r: 2147483648"}}) {
        std::vector<std::string> line(args.begin(), args.end() - 1);
        line.insert(line.end(), plan.begin(), plan.end());
        line.push_back(args.back());
        EXPECT_TRUE(vtplan(line).err.starts_with("vtplan: " + said + "\n")) << said;
    }
}

TEST(Vtplan, DecimalSeparatorFollowsTheLocale) {
    const std::string locale = commaLocale();
    if (locale.empty()) GTEST_SKIP() << "no locale with a decimal comma installed";
    const Outcome r = vtplan({"12340,5", "100", "10", "2"}, locale);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("VcoMHz 123,405\n"), std::string::npos);
    EXPECT_NE(r.out.find("SpurOffsetHz 1595000,029\n"), std::string::npos);
    EXPECT_EQ(vtplan({"12340.5", "100", "10", "2"}, locale).status, 1);
}

namespace {

const std::string kDefaultDescription =
    "12340MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, "
    "Mode=ModeA, frac_rstb=Enable, frac_bypass=Use";

// Eight channels out of order with a blank line among them; empty cells take vtplan's defaults.
const char* const kPlanHead =
    "channel,local_output,multiplier,std,r,up_gain,down_gain,offset,offset_dir,hik,seed,mode\n";
const char* const kPlanRows =
    "0,12340,100,10,2,,,,,,,\n"
    "6,12345.5,100,10,2,0,0,10,down,off,0,0\n"
    "2,11000,100,10,1,,,,,,,\n"
    "\n"
    "7,12800,128,10,2,64,64,0,up,on,3,2\n"
    "1,\"12340\",100,10,2,,,,,,,\n"
    "3,12340,50,10,2,,,,,,,\n"
    "4,9000,100,10,2,,,,,,,\n"
    "5,12340,100,10,4,,,,,,,\n";

// Writes csv as the list and plans it: the exit status, a blank, then standard output and error.
std::string runList(const std::string& list, const std::string& csv) {
    vttest::writeBytes(list, csv);
    const Outcome r = vtplan({"--channels", list});
    return std::to_string(r.status) + " " + r.out + r.err;
}

// The words vtplan gives for one plan with the options, as the list's line gives them.
std::string wordsOf(const std::vector<std::string>& args) {
    const Outcome r = vtplan(args);
    std::string words;
    for (const char* name :
         {"RefReg ", "IntgReg ", "FracReg ", "CPReg ", "SDReg ", "ActualHz ", "ErrorHz ", "SpurOffsetHz "}) {
        const size_t at = r.out.find(std::string("\n") + name) + 1 + std::string(name).size();
        words += ' ';  // not " " + std::string&&, on which GCC 12 at -O3 warns (-Wrestrict)
        words += r.out.substr(at, r.out.find('\n', at) - at);
    }
    return words;
}

}  // namespace

// A list of eight channels is planned as the window plans each; one bad Multiplier names its
// line with the window's text, and then nothing is written at all.
TEST(VtplanChannels, EightRowsAsTheWindowPlansThemAndOneBadRowWritesNothing) {
    const vttest::TempDir dir;
    const std::string list = dir.file("PLAN.csv"), header = dir.file("OUT.h");
    std::string rows = kPlanRows;
    rows.replace(rows.find("3,12340,50"), 10, "3,12340,5.0");
    vttest::writeBytes(list, kPlanHead + rows);
    Outcome r = vtplan({"--channels", list, "--header", header});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, list + ":8: '5.0' は整数ではありません.\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(vttest::listing(dir.path()), "PLAN.csv\n");

    vttest::writeBytes(list, std::string(kPlanHead) + kPlanRows);
    r = vtplan({"--channels", list, "--header", header});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string lines = r.out;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 8);
    EXPECT_EQ(lines.substr(0, lines.find('\n') + 1),
              "0 04000004 06000018 08AE147A 13407FFE 0C0016FC 12339999973.774 -26.226 1600000.262 -\n");
    EXPECT_NE(lines.find("\n6" +
                         wordsOf({"--up=0", "--down=0", "--offset=10", "--offset-dir=down", "--hik=off", "--seed=0",
                                  "--mode=0", "12345.5", "100", "10", "2"}) +
                         " -\n"),
              std::string::npos);
    EXPECT_NE(lines.find("\n7" + wordsOf({"--up=64", "--down=64", "--seed=3", "--mode=2", "12800", "128", "10", "2"}) +
                         " -\n"),
              std::string::npos);
    // Spurs nearer than 1 MHz are marked: the divider's at 800 kHz with R 4; with N 5.5 there is
    // no beat, and the divider's spur sits at PD / 2.
    EXPECT_NE(lines.find("\n5" + wordsOf({"12340", "100", "10", "4"}) + " !\n"), std::string::npos);
    EXPECT_NE(lines.find(" 799999.982 !\n"), std::string::npos);
    EXPECT_NE(lines.find(" 5000000.000 -\n3 "), std::string::npos);
    r = vtplan({"--spur-warn", "0", "--channels", list});
    EXPECT_EQ(r.status, 0);
    std::string unmarked = lines;
    std::replace(unmarked.begin(), unmarked.end(), '!', '-');
    EXPECT_EQ(r.out, unmarked);

    const std::string file = vttest::readWholeFile(header);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 41);
    EXPECT_NE(file.find("\r\n//0  " + kDefaultDescription + "\r\n  0x04000004,    //RefReg\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\n//1  " + kDefaultDescription + "\r\n"), std::string::npos);  // quotes go, text stays
    EXPECT_NE(file.find("//6  12345.5MHz, std=10MHz, PD=5000000Hz, UpGain=0, DnGain=0, Offset=-10, HiK mode=Off, "
                        "SD seed=0, Mode=reserved1, frac_rstb=Enable, frac_bypass=Use\r\n"),
              std::string::npos);
}

TEST(VtplanChannels, ProblemsOfTheListNameTheirLines) {
    const vttest::TempDir dir;
    const std::string list = dir.file("p.csv");
    const auto problems = [&](const std::string& csv) { return runList(list, csv); };
    EXPECT_EQ(problems("channel,local_output,multiplier,std\n0,1,1,1\n"), "1 " + list + ":1: missing column r\n");
    EXPECT_EQ(problems("channel,local_output,multiplier,std,r,gain\n"), "1 " + list + ":1: unknown column \"gain\"\n");
    EXPECT_EQ(problems(""), "1 " + list + ":1: no header row naming the columns\n");
    EXPECT_EQ(problems("R,Channel,std,multiplier,local_output,hik\n2,1,10,100,12340,maybe\n"
                       "2,8,10,100,12340,on\n2,1,10,100\n2,1,10,100,12340,off\n2,1,10,100,12340,\"on\n"),
              "1 " + list + ":2: bad value for hik: maybe\n" + list + ":3: channel must be 0 to 7: 8\n" + list +
                  ":4: expected 6 fields, found 4\n" + list + ":5: channel 1 given twice (first on line 2)\n" + list +
                  ":6: a quoted field is not closed on its line\n");
    // Columns in any order and case; absent channels stay empty.
    EXPECT_EQ(problems("R,Channel,std,multiplier,local_output\r\n2,4,10,100,12340\r\n"),
              "0 4 04000004 06000018 08AE147A 13407FFE 0C0016FC 12339999973.774 -26.226 1600000.262 -\n");
    EXPECT_EQ(vtplan({"--header", dir.file("h"), "12340", "100", "10", "2"}).status, 2);
    EXPECT_EQ(vtplan({"--channels", list, "12340", "100", "10", "2"}).status, 2);
    EXPECT_EQ(vtplan({"--channels", dir.file("absent.csv")}).err,
              "vtplan: " + dir.file("absent.csv") + ": no such file\n");
}

// The list reads the same on every machine; the window's separator stays the locale's.
TEST(VtplanChannels, NumbersUseAPointWhateverTheLocale) {
    const std::string locale = commaLocale();
    if (locale.empty()) GTEST_SKIP() << "no locale with a decimal comma, and none can be made here";
    const vttest::TempDir dir;
    const std::string list = dir.file("p.csv");
    vttest::writeBytes(list, "channel,local_output,multiplier,std,r\n0,12345.5,100,10.0,2\n");
    const Outcome comma = vtplan({"--channels", list}, locale);
    EXPECT_EQ(comma.status, 0) << comma.err;
    EXPECT_EQ(comma.out, vtplan({"--channels", list}).out);
    EXPECT_EQ(comma.out, "0 04000004 06000018 08B0E560 13407FFE 0C0016FC 12345499992.371 -7.629 1545000.076 -\n");
}

// The list's shape and order: a byte-order mark is no part of the first name; the lines follow
// the channels, not the rows; a column named twice and a row longer than the header are refused;
// problems come in the file's order (a plan failing on line 2 before a short row on line 3), and
// at most twenty of them.
TEST(VtplanChannels, ListShapeAndTheOrderOfLinesAndProblems) {
    const vttest::TempDir dir;
    const std::string list = dir.file("p.csv");
    const auto run = [&](const std::string& csv) {
        vttest::writeBytes(list, csv);
        return vtplan({"--channels", list});
    };
    const std::string head = "channel,local_output,multiplier,std,r\n";
    Outcome r = run("\xEF\xBB\xBF" + head + "5,12340,100,10,2\n0,12340,100,10,4\n");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.starts_with("0 04000008 ")) << r.out;
    EXPECT_NE(r.out.find("\n5 04000004 "), std::string::npos) << r.out;

    EXPECT_EQ(run("channel,local_output,multiplier,std,r,R\n0,12340,100,10,2,2\n").err,
              list + ":1: column r given twice\n");
    EXPECT_EQ(run(head + "0,12340,100,10,2,9\n").err, list + ":2: expected 5 fields, found 6\n");
    EXPECT_EQ(run(head + "0,12340,5.0,10,2\n1,12340\n").err,
              list + ":2: '5.0' は整数ではありません.\n" + list + ":3: expected 5 fields, found 2\n");

    std::string garbage = head;
    for (int i = 0; i < 25; ++i) garbage += "x\n";
    r = run(garbage);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 21) << r.err;
    EXPECT_TRUE(r.err.ends_with(list + ":21: too many problems; the rest of the file is not read\n")) << r.err;
}

// The date line in the locale's own words and in code page 932, as the rest of the header:
// 年 is 94 4E there, E5 B9 B4 in UTF-8.
TEST(VtplanChannels, TheDateLineIsCodePage932UnderAJapaneseLocale) {
    const std::string locale = japaneseLocale();
    if (locale.empty()) GTEST_SKIP() << "no Japanese locale, and none can be made here";
    const vttest::TempDir dir;
    const std::string list = dir.file("PLAN.csv"), header = dir.file("OUT.h");
    vttest::writeBytes(list, std::string(kPlanHead) + kPlanRows);
    const Outcome r = vtplan({"--channels", list, "--header", header}, locale);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = vttest::readWholeFile(header);
    const std::string dateLine = file.substr(0, file.find("\r\n"));
    EXPECT_NE(dateLine.find("\x94N"), std::string::npos) << dateLine;
    EXPECT_EQ(dateLine.find("\xE5\xB9\xB4"), std::string::npos) << dateLine;
}

namespace {

// The header's lines after the date line, which follows the clock.
std::string afterDateLine(const std::string& header) { return header.substr(header.find("\r\n") + 2); }

struct stat lstatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

}  // namespace

// --header names a stream where the user names one: standard output ("-", a private link to
// /proc/self/fd/1) gets the header before the channel lines, a FIFO is written into; the name
// itself is never replaced. A link to a regular file of ours is followed and the file behind it
// replaced, keeping its mode.
TEST(VtplanChannels, AHeaderNamedOnTheCommandLineIsWrittenIntoStreamsAndThroughOurLinks) {
    const vttest::TempDir dir;
    const std::string list = dir.file("PLAN.csv"), regular = dir.file("table.h");
    vttest::writeBytes(list, std::string(kPlanHead) + kPlanRows);
    const Outcome plain = vtplan({"--channels", list, "--header", regular});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::string header = vttest::readWholeFile(regular), lines = plain.out;

    const std::string toStdout = dir.file("stdout-link");
    ASSERT_EQ(::symlink("/proc/self/fd/1", toStdout.c_str()), 0);
    for (const auto& [args, input] :
         {std::pair{std::vector<std::string>{"--channels", list, "--header", toStdout}, ""},
          std::pair{std::vector<std::string>{"--channels", "-", "--header", "-"}, list.c_str()}}) {
        const Outcome r = vtplan(args, "C.UTF-8", input);
        EXPECT_EQ(r.status, 0) << r.err;
        ASSERT_TRUE(r.out.starts_with("//")) << r.out;
        EXPECT_EQ(afterDateLine(r.out), afterDateLine(header) + lines);
    }
    EXPECT_TRUE(S_ISLNK(lstatOf(toStdout).st_mode));

    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(vtplan({"--channels", list, "--header", fifo}).status, 0);
    std::string streamed(8192, '\0');
    streamed.resize(static_cast<size_t>(std::max<ssize_t>(0, ::read(reader, streamed.data(), streamed.size()))));
    ::close(reader);
    EXPECT_EQ(afterDateLine(streamed), afterDateLine(header));
    EXPECT_TRUE(S_ISFIFO(lstatOf(fifo).st_mode));

    const std::string link = dir.file("link.h");
    vttest::writeBytes(dir.file("behind.h"), "earlier");
    ASSERT_EQ(::chmod(dir.file("behind.h").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("behind.h", link.c_str()), 0);
    EXPECT_EQ(vtplan({"--channels", list, "--header", link}).status, 0);
    EXPECT_TRUE(S_ISLNK(lstatOf(link).st_mode));
    EXPECT_EQ(afterDateLine(vttest::readWholeFile(dir.file("behind.h"))), afterDateLine(header));
    EXPECT_EQ(lstatOf(dir.file("behind.h")).st_mode & 0777, 0640u);

    // A link somebody else planted (neither ours nor the folder owner's) is not followed.
    if (::geteuid() == 0) {
        ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
        const Outcome refused = vtplan({"--channels", list, "--header", link});
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err, "vtplan: " + link + ": a link made by another user, which is not followed\n");
        EXPECT_EQ(afterDateLine(vttest::readWholeFile(dir.file("behind.h"))), afterDateLine(header));
    }
}

// A file's name is quoted escaped in every line that names it, as the list's fields are: a line
// end or an escape sequence in it forges no line and colours no terminal.
TEST(VtplanChannels, NamesAreQuotedEscaped) {
    const vttest::TempDir dir;
    const std::string name = dir.file("x\nvtplan: all written\x1b[0m"),
                      shown = dir.file("x\\x0avtplan: all written\\x1b[0m");
    vttest::writeBytes(dir.file("list.csv"), std::string(kPlanHead) + kPlanRows);
    for (const auto& [args, said] :
         {std::pair{std::vector<std::string>{"--channels", name}, "vtplan: " + shown + ": no such file\n"},
          {{"--channels", dir.file("list.csv"), "--header", name + "/t.h"},
           "vtplan: " + shown + "/t.h: no such file\n"}})
        EXPECT_EQ(vtplan(args).err, said);
    EXPECT_EQ(runList(name, "channel\n"), "1 " + shown + ":1: missing column local_output\n");
}

// A problem line never hands the terminal raw bytes of the list: control bytes come escaped and
// a long field is cut to 80 characters; a field beyond any value's length is refused unread.
TEST(VtplanChannels, ProblemTextsEscapeControlBytesAndCutLongFields) {
    const vttest::TempDir dir;
    const std::string list = dir.file("p.csv");
    const auto problems = [&](const std::string& csv) { return runList(list, csv); };
    const std::string head = "channel,local_output,multiplier,std,r,hik\n";
    EXPECT_EQ(problems("channel,local_output,multiplier,std,r,\x1b[2J\x7f\xc2\x9b\xff\n"),
              "1 " + list + ":1: unknown column \"\\x1b[2j\\x7f\\xc2\\x9b\\xff\"\n");
    for (const auto& [field, seen] : {std::pair<std::string, std::string>{"\"12\r34\"", "12\\x0d34"},
                                      {std::string("123.\0004", 6), "123.\\x004"},
                                      {"12\u202E40\u2066", "12\\xe2\\x80\\xae40\\xe2\\x81\\xa6"},
                                      {"12\xC0\x9F\xED\xA0\x80", "12\\xc0\\x9f\\xed\\xa0\\x80"}})
        EXPECT_EQ(problems(head + "0," + field + ",100,10,2,on\n"),
                  "1 " + list + ":2: '" + seen + "' は浮動小数点数ではありません.\n");
    const std::string wide = "表" + std::string(100, 'y');
    EXPECT_EQ(problems(head + "0,12340,100,10,2,\"" + wide + "\"\n"),
              "1 " + list + ":2: bad value for hik: 表" + std::string(79, 'y') + "…\n");
    EXPECT_EQ(problems(head + "0,12340,100,10,2," + std::string(80, 'z') + "\n"),
              "1 " + list + ":2: bad value for hik: " + std::string(80, 'z') + "\n");
    EXPECT_EQ(problems(head + "0,\"" + std::string(1025, '1') + "\",100,10,2,on\n1," + std::string(1025, '1') +
                       ",100,10,2,on\n2," + std::string(1024, 'x') + ",100,10,2,on\n"),
              "1 " + list + ":2: a field is longer than 1024 bytes\n" + list +
                  ":3: a field is longer than 1024 bytes\n" + list + ":4: '" + std::string(80, 'x') +
                  "…' は浮動小数点数ではありません.\n");
}

// The description quotes local_output and std as written: one no header could hold (here 1,025
// bytes, by leading zeros) is a problem of its line, and nothing is written.
TEST(VtplanChannels, ADescriptionNoHeaderCouldHoldIsAProblemOfItsLine) {
    const vttest::TempDir dir;
    const std::string list = dir.file("p.csv"), header = dir.file("OUT.h");
    const std::string zeros(1025 - kDefaultDescription.size(), '0');
    vttest::writeBytes(
        list, "channel,local_output,multiplier,std,r\n1,12340,100,10,2\n\n4,\"" + zeros + "12340\",100,10,2\n");
    Outcome r = vtplan({"--channels", list, "--header", header});
    EXPECT_EQ(std::to_string(r.status) + " " + r.out + r.err,
              "1 " + list +
                  ":4: the description is 1025 bytes long, more than the 1024 a header holds; local_output "
                  "and std are quoted in it as written\n");
    EXPECT_EQ(vttest::listing(dir.path()), "p.csv\n");
}

// What spreadsheets and hands write: a trailing comma after the names (and in the rows), blanks
// and tabs around fields. A list that names its columns and then lists no channel is a mistake.
TEST(VtplanChannels, TrailingCommasAndBlanksAroundFieldsAreFineAndAListWithoutChannelsIsNot) {
    const vttest::TempDir dir;
    const std::string list = dir.file("p.csv");
    const auto run = [&](const std::string& csv) { return runList(list, csv); };
    const std::string ch0 =
        vtplan({"--channels", "-"}, "C.UTF-8",
               [&] {
                   vttest::writeBytes(list, "channel,local_output,multiplier,std,r\n0,12340,100,10,2\n");
                   return list;
               }())
            .out;
    ASSERT_TRUE(ch0.starts_with("0 04000004 ")) << ch0;
    EXPECT_EQ(run("channel,local_output,multiplier,std,r,,\n0,12340,100,10,2,,\n"), "0 " + ch0);
    EXPECT_EQ(run("channel,local_output,multiplier,std,r,\n\t0 ,\t12340\t, 100,10 , \"2\" \n"), "0 " + ch0);
    EXPECT_EQ(run("channel,local_output,multiplier,std,r\n0,12340,100,10,\t\"2\"\n"), "0 " + ch0);
    EXPECT_EQ(run("channel,local_output,multiplier,std,\"r\"\"\"\n"), "1 " + list + ":1: unknown column \"r\"\"\n");
    EXPECT_EQ(run("channel,local_output,multiplier,std,r\n0,12340,100,10,\"2\" x\n"),
              "1 " + list + ":2: text after a quoted field\n");
    EXPECT_EQ(run("channel,local_output,multiplier,std,r,\n0,12340,100,10,2,x\n"),
              "1 " + list + ":2: text in a column without a name: x\n");
    EXPECT_EQ(run("channel,local_output,multiplier,std,r,\n0,12340,100,10,2,,\n"),
              "1 " + list + ":2: expected 5 to 6 fields, found 7\n");
    EXPECT_EQ(run("channel,,local_output,multiplier,std,r\n"), "1 " + list + ":1: unknown column \"\"\n");
    EXPECT_EQ(run("\nchannel,local_output,multiplier,std,r\n\n"), "1 " + list + ":2: no channels\n");
}

// The limit of what is read is named, not given as a bare number; --channels /dev/stdin reads
// standard input as - does.
TEST(VtplanChannels, AListBeyondTheReadLimitIsToldSoAndDevStdinIsStandardInput) {
    const vttest::TempDir dir;
    const std::string big = dir.file("big.csv");
    vttest::writeBytes(big, "channel,local_output,multiplier,std,r\n");
    ASSERT_EQ(::truncate(big.c_str(), (64 << 20) + 1), 0);
    EXPECT_EQ(vtplan({"--channels", big}).err, "vtplan: " + big + ": too large (more than 64 MiB)\n");
    ASSERT_EQ(::truncate(big.c_str(), 64 << 20), 0);  // at most 64 MiB: read, named or on standard input
    for (const std::string& name : {big, std::string("-")})
        EXPECT_EQ(vtplan({"--channels", name}, "C.UTF-8", big).err, name + ":2: a field is longer than 1024 bytes\n");

    const std::string list = dir.file("p.csv");
    vttest::writeBytes(list, "channel,local_output,multiplier,std,r\n3,12340,100,10,2\n");
    const Outcome r = vtplan({"--channels", "/dev/stdin"}, "C.UTF-8", list);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("3 04000004 06000018 08AE147A ")) << r.out;
}

// --- --compare-r: the same output for every R of a range -------------------------------------

// The issue's example: 12340 MHz from x100 on 10 MHz, R 1 to 4 with R 2 the operator's own.
TEST(VtplanCompareR, OneLinePerRWithItsMarks) {
    Outcome r = vtplan({"--compare-r", "1-4", "12340", "100", "10", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "1 10000000 33.379 1700000.167 -\n2 5000000 -26.226 1600000.262 *\n3 3333333 1225.471 66678.921 !\n"
              "4 2500000 3.576 799999.982 !\n");
    r = vtplan({"--spur-warn", "66679", "--compare-r=2-3", "--", "12340", "100", "10", "3"});
    EXPECT_EQ(r.out, "2 5000000 -26.226 1600000.262 -\n3 3333333 1225.471 66678.921 *!\n");
    r = vtplan({"--spur-warn", "66678", "--compare-r", "3-3", "12340", "100", "10", "9"});
    EXPECT_EQ(r.out, "3 3333333 1225.471 66678.921 -\n");
    EXPECT_EQ(vtplan({"--compare-r", "1-1", "12000", "100", "10", "1"}).out, "1 10000000 0.000 none *\n");
}

// An R the 02h word cannot hold is warned of in a comparison and a list as in single mode: once
// for the Rs of a range above the limit, and on the list's line; the exit status stays.
TEST(VtplanCompareR, RsAboveWhatTheWordHoldsAreWarnedOf) {
    const std::string tail = " above 16384, the most the 02h word holds; the words use R 16384\n";
    vttest::TempDir dir;
    const std::string list = dir.file("p.csv");
    vttest::writeBytes(list,
                       "channel,local_output,multiplier,std,r\n3,12340,100,10,2\n\n5,12340,100,10,20000\n"
                       "6,12340,100,10,16384\n");
    for (const auto& [args, err] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--compare-r", "16380-16384", "12340", "100", "10", "2"}, ""},
             {{"--compare-r", "16384-16385", "12340", "100", "10", "2"}, "vtplan: warning: R 16385 is" + tail},
             {{"--compare-r", "16380-16390", "12340", "100", "10", "2"},
              "vtplan: warning: R 16385 to 16390 are" + tail},
             {{"--compare-r", "20000-20001", "12340", "100", "10", "2"},
              "vtplan: warning: R 20000 to 20001 are" + tail},
             {{"--channels", list}, list + ":4: warning: R 20000 is" + tail}}) {
        const Outcome r = vtplan(args);
        EXPECT_EQ(r.status, 0) << args[1];
        EXPECT_EQ(r.err, err) << args[1];
    }
}

// Random outputs, multipliers, references and ranges against exact arithmetic.
TEST(VtplanCompareR, RandomRangesMatchExactArithmetic) {
    std::mt19937_64 rng(21);
    for (int run = 0; run < 25; ++run) {
        const auto pick = [&](int64_t low, int64_t high) {
            return std::uniform_int_distribution<int64_t>(low, high)(rng);
        };
        const int64_t lo = pick(1, 40000), mul = pick(1, 400), std = pick(1, 200), first = pick(1, 50);
        const int64_t last = first + pick(0, 40), given = pick(1, last + 5), warn = pick(0, 2000000);
        const Outcome r = vtplan({"--spur-warn", std::to_string(warn), "--compare-r",
                                  std::to_string(first) + "-" + std::to_string(last), std::to_string(lo),
                                  std::to_string(mul), std::to_string(std), std::to_string(given)});
        std::string expected;
        for (int64_t rr = first; rr <= last; ++rr) {
            const exactref::Ratio q = exactref::ratio(lo * 1000000, mul, std * 1000000, rr);
            const exactref::Spur spur = exactref::spurOffset(std * 1000000, exactref::wordR(rr), q.steps);
            const bool near = exactref::below(spur, warn);
            const std::string mark = rr == given ? (near ? "*!" : "*") : (near ? "!" : "-");
            expected += std::to_string(rr) + " " + std::to_string(static_cast<int64_t>(q.pd)) + " " +
                        exactref::errorHz(lo * 1000000, mul, std * 1000000, exactref::wordR(rr), q.steps) + " " +
                        exactref::text(spur) + " " + mark + "\n";
        }
        ASSERT_EQ(r.status, 0);
        ASSERT_EQ(r.out, expected) << lo << " " << mul << " " << std << " " << first << "-" << last;
    }
}

// A plan that fails for one R says so on its line, with the window's text, and the others go
// on: at a 1.98 THz reference the fraction's shift overflows for R 2 alone.
TEST(VtplanCompareR, AFailingRInTheMiddleAndTheRestGoOn) {
    const std::vector<std::string> plan{"7196227.32904", "1", "1978443.589459", "3"};
    Outcome r = vtplan({"--compare-r", "1-4", plan[0], plan[1], plan[2], plan[3]});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4);
    EXPECT_TRUE(r.out.starts_with("1 1978443589459 ")) << r.out;
    EXPECT_NE(r.out.find("\n2 error: Register 04h data -7955320 is out of range 0 to 16777215.\n3 659481196486 "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(" *\n4 494610897364 "), std::string::npos) << r.out;
    EXPECT_EQ(vtplan({plan[0], plan[1], plan[2], "2"}).err,
              "Register 04h data -7955320 is out of range 0 to 16777215.\n");
    // Past STD in Hz, PD is 0.
    r = vtplan({"--compare-r", "3-4", "12340", "100", "0.000003", "3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.ends_with("\n4 error: ゼロによる除算.\n")) << r.out;
}

TEST(VtplanCompareR, AWrongCommandLineIsAUsageError) {
    const std::vector<std::string> plan{"12340", "100", "10", "2"};
    for (const std::vector<std::string>& head :
         std::vector<std::vector<std::string>>{{"--compare-r", "0-4"},
                                               {"--compare-r", "4-3"},
                                               {"--compare-r", "1-1001"},
                                               {"--compare-r", "4"},
                                               {"--compare-r", "1-"},
                                               {"--compare-r", "-4"},
                                               {"--compare-r", "1-4", "--channels", "x.csv"}}) {
        std::vector<std::string> args = head;
        args.insert(args.end(), plan.begin(), plan.end());
        const Outcome r = vtplan(args);
        EXPECT_EQ(r.status, 2) << head[1];
        EXPECT_NE(r.err.find("usage: vtplan"), std::string::npos) << head[1];
    }
    for (const char* badR : {"0", "2.0", "x", "-1"})
        EXPECT_EQ(vtplan({"--compare-r", "1-4", "--", "12340", "100", "10", badR}).status, 2) << badR;
    const Outcome most = vtplan({"--compare-r", "1-1000", "12340", "100", "10", "2"});
    EXPECT_EQ(most.status, 0);
    EXPECT_EQ(std::count(most.out.begin(), most.out.end(), '\n'), 1000);
    EXPECT_NE(vtplan({"--help"}).out.find("--compare-r A-B"), std::string::npos);
}

TEST(VtplanCompareR, InputsFollowTheLocaleAsInSingleMode) {
    const std::string locale = commaLocale();
    if (locale.empty()) GTEST_SKIP() << "no locale with a decimal comma, and none can be made here";
    EXPECT_EQ(vtplan({"--compare-r", "2-2", "12340,5", "100", "10", "2"}, locale).out,
              "2 5000000 -2,861 1595000,029 *\n");
    EXPECT_EQ(vtplan({"--compare-r", "2-2", "12340.5", "100", "10", "2"}, locale).out,
              "2 error: '12340.5' は浮動小数点数ではありません.\n");
}

// --- --sweep: a band of outputs for several R ------------------------------------------------

namespace {

// The figures single mode prints for one output and R, as a sweep line has them:
// "ActualHz ErrorHz SpurOffsetHz mark", the mark from its spur warning.
std::string singleFigures(const std::string& output, const std::string& r, const std::string& warn) {
    const Outcome o = vtplan({"--spur-warn", warn, output, "120", "10", r});
    std::string figures;
    for (const char* name : {"ActualHz ", "ErrorHz ", "SpurOffsetHz "}) {
        const size_t at = o.out.find(std::string("\n") + name) + 1 + std::string(name).size();
        figures += o.out.substr(at, o.out.find('\n', at) - at);
        figures += ' ';
    }
    return figures + (o.err.find("closer than") != std::string::npos ? "!" : "-");
}

}  // namespace

// Random bands and lists of R: as many lines as outputs times R, in order, and the line of any
// point is what single mode says of its output and R.
TEST(VtplanSweep, EachLineIsTheSinglePlanOfItsPoint) {
    std::mt19937_64 rng(2027);
    const auto pick = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
    for (int run = 0; run < 4; ++run) {
        const int64_t tenth = pick(0, 9);
        const std::string from = std::to_string(pick(2000, 16000)) + "." + std::to_string(tenth);
        const int64_t outputs = pick(20, 400), rCount = pick(1, 3);
        std::vector<std::string> rs;
        for (int64_t i = 0; i < rCount; ++i) rs.push_back(std::to_string(pick(1, 3) + 3 * i));
        std::string rList = rs[0];
        for (size_t i = 1; i < rs.size(); ++i) rList += "," + rs[i];
        const std::string warn = std::to_string(pick(0, 2'000'000));
        const std::string to = std::to_string(std::stoll(from) + outputs);  // on a step only from a whole number
        const Outcome r = vtplan({"--spur-warn", warn, "--sweep", from + "-" + to, "0.5", "120", "10", rList});
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<std::string> lines;
        for (size_t at = 0; at < r.out.size(); at = r.out.find('\n', at) + 1)
            lines.push_back(r.out.substr(at, r.out.find('\n', at) - at));
        const size_t count = static_cast<size_t>((10 * outputs - tenth) / 5 + 1) * rs.size();
        ASSERT_EQ(lines.size(), count) << from << "-" << to;
        for (int probe = 0; probe < 3; ++probe) {
            const size_t i = static_cast<size_t>(pick(0, static_cast<int64_t>(count) - 1));
            const std::string& line = lines[i];
            const size_t blank = line.find(' '), second = line.find(' ', blank + 1);
            const std::string output = line.substr(0, blank), rOf = line.substr(blank + 1, second - blank - 1);
            EXPECT_EQ(rOf, rs[i % rs.size()]);
            EXPECT_EQ(line.substr(second + 1), singleFigures(output, rOf, warn)) << line;
        }
    }
}

// CSV for a spreadsheet, a plan that fails among the others, an R the word cannot hold, the
// locale's separator in lines but not in CSV.
TEST(VtplanSweep, CsvFailuresAndLargeR) {
    Outcome r = vtplan({"--csv", "--sweep", "12340-12340.1", "0.1", "100", "10", "2,20000"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "local_output_mhz,r,actual_hz,error_hz,spur_offset_hz,mark,error\n"
              "12340.0,2,12339999973.774,-26.226,1600000.262,-,\n"
              "12340.0,20000,15063476562.500,2723476562.500,,-,\n"
              "12340.1,2,12340099990.368,-9.632,1599000.096,-,\n"
              "12340.1,20000,15063598632.812,2723498632.812,,-,\n");
    EXPECT_EQ(r.err, "vtplan: warning: R 20000 is above 16384, the most the 02h word holds; the words use R 16384\n");
    r = vtplan({"--sweep", "12340-12340", "1", "100", "0.000003", "3,4"});
    EXPECT_EQ(r.out,
              "12340 3 error: Register 03h data 61700000 is out of range 0 to 16777215.\n"
              "12340 4 error: ゼロによる除算.\n");
    r = vtplan({"--csv", "--sweep", "12340-12340", "1", "100", "0.000003", "4"});
    EXPECT_EQ(r.out, "local_output_mhz,r,actual_hz,error_hz,spur_offset_hz,mark,error\n12340,4,,,,,ゼロによる除算.\n");
    const std::string locale = commaLocale();
    if (locale.empty()) GTEST_SKIP() << "no locale with a decimal comma, and none can be made here";
    EXPECT_EQ(vtplan({"--sweep", "12340,5-12340,5", "0,5", "100", "10", "2"}, locale).out,
              "12340,5 2 12340499997,139 -2,861 1595000,029 -\n");
    EXPECT_EQ(vtplan({"--csv", "--sweep", "12340,5-12340,5", "0,5", "100", "10", "2"}, locale).out,
              "local_output_mhz,r,actual_hz,error_hz,spur_offset_hz,mark,error\n"
              "12340.5,2,12340499997.139,-2.861,1595000.029,-,\n");
}

TEST(VtplanSweep, AWrongCommandLineIsAUsageErrorThatSaysWhy) {
    for (const auto& [args, why] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--csv", "12340", "100", "10", "2"}, "--csv needs --sweep"},
             {{"--sweep", "12340", "0.1", "100", "10", "2"}, "bad value for --sweep: 12340"},
             {{"--sweep", "12340-12341", "0.1", "100", "10"}, "expected STEP MULTIPLIER STD R[,R...]"},
             {{"--sweep", "12341-12340", "0.1", "100", "10", "2"}, "TO is below FROM: 12341-12340"},
             {{"--sweep", "12340-12341", "0", "100", "10", "2"}, "STEP must be above 0: 0"},
             {{"--sweep", "12340-12341", "0.1", "100", "10", "2,2"}, "R 2 is listed twice"},
             {{"--sweep", "1-1000", "0.001", "100", "10", "1,2"},
              "at most 1000000 lines in one sweep: 999001 outputs x 2 values of R"},
             {{"--sweep", "1-2", "1", "--compare-r", "1-2", "100", "10", "2"}, "--sweep goes with neither"}}) {
        const Outcome r = vtplan(args);
        EXPECT_EQ(r.status, 2) << why;
        EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("usage: vtplan"), std::string::npos) << why;
        EXPECT_EQ(r.out, "") << why;
    }
}

// --- --nearest: the nearest word's search in every mode ---------------------------------------

namespace {

struct NearestRow {
    std::vector<std::string> args;  // "LIST" stands for a list of channels 0 and 1 (R 3, R 11)
    std::string out, err;
};

class VtplanNearest : public testing::TestWithParam<NearestRow> {};

}  // namespace

// The same lines and columns as the window's search, with the figures of the nearest words; a
// comparison names its best R, or says that none clears the threshold.
TEST_P(VtplanNearest, GivesTheNearestWordsInTheSameLines) {
    const vttest::TempDir dir;
    const std::string list = dir.file("p.csv");
    vttest::writeBytes(list, "channel,local_output,multiplier,std,r\n0,12340,100,10,3\n1,12340,100,10,11\n");
    std::vector<std::string> args = GetParam().args;
    std::replace(args.begin(), args.end(), std::string("LIST"), list);
    const Outcome r = vtplan(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, GetParam().out);
    EXPECT_EQ(r.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, VtplanNearest,
    testing::Values(
        NearestRow{{"--nearest", "--spur-warn", "0", "12340", "100", "10", "3"},
                   "VcoHz 123400000\nPdHz 3333333\nVcoMHz 123.4\nR 3\nN_INT 18\nNFrac 8556380\nFFRAC 28521267200000\n"
                   "RefReg 04000006\nIntgReg 06000024\nFracReg 09051EB8\nCPReg 13407FFE\nSDReg 0C0016FC\n"
                   "ActualHz 12339999993.642\nErrorHz -6.358\nFracSpurHz 1633333.365\nBeatSpurHz 66666.603\n"
                   "SpurOffsetHz 66666.603\n",
                   ""},
        NearestRow{{"--channels", "LIST", "--nearest"},
                   "0 04000006 06000024 09051EB8 13407FFE 0C0016FC 12339999993.642 -6.358 66666.603 !\n"
                   "1 04000016 06000086 09BD70A4 13407FFE 0C0016FC 12340000000.867 0.867 118181.814 !\n",
                   ""},
        // R 3's nearest word is the closest, but its beat is within 1 MHz.
        NearestRow{{"--nearest", "--compare-r", "1-4", "12340", "100", "10", "2"},
                   "1 10000000 33.379 1700000.167 -\n2 5000000 -26.226 1600000.262 *best\n"
                   "3 3333333 -6.358 66666.603 !\n4 2500000 3.576 799999.982 !\n"
                   "best: R 2, error -26.226 Hz, spur 1600000.262 Hz\n",
                   ""},
        // Integer mode for each R: as near and without a spur, the smaller R is the best.
        NearestRow{{"--nearest", "--compare-r", "1-2", "12000", "100", "10", "2"},
                   "1 10000000 0.000 none best\n2 5000000 0.000 none *\nbest: R 1, error 0.000 Hz, spur none\n",
                   ""},
        NearestRow{{"--nearest", "--spur-warn", "1700001", "--compare-r", "1-2", "12340", "100", "10", "1"},
                   "1 10000000 33.379 1700000.167 *!\n2 5000000 -26.226 1600000.262 !\n"
                   "best: none, no R from 1 to 2 clears the 1700001 Hz threshold\n",
                   ""},
        NearestRow{{"--nearest", "--sweep", "12340-12340", "1", "100", "10", "3,20000"},
                   "12340 3 12339999993.642 -6.358 66666.603 !\n12340 20000 12339999999.997 -0.003 170.898 !\n",
                   "vtplan: warning: R 20000 is above 16384, the most the 02h word holds; the words use R 16384\n"},
        // No spur: an empty field in a spreadsheet's number column, "none" in the lines.
        NearestRow{{"--csv", "--nearest", "--sweep", "11999.999999-11999.999999", "1", "100", "10", "1"},
                   "local_output_mhz,r,actual_hz,error_hz,spur_offset_hz,mark,error\n"
                   "11999.999999,1,12000000000.000,1.000,,-,\n",
                   ""}));
