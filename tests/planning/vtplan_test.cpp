// vtplan end to end: the real binary, its output lines, error texts and exit codes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <clocale>
#include <string>
#include <vector>

#include "testkit/temp_dir.h"

extern char** environ;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome vtplan(const std::vector<std::string>& args, const std::string& locale = "C.UTF-8") {
    const vttest::TempDir dir;
    const std::string outPath = dir.file("out"), errPath = dir.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
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
std::string commaLocale() {
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

}  // namespace

TEST(Vtplan, WorkedExample) {
    const Outcome r = vtplan({"12340", "100", "10", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "VcoHz 123400000\nPdHz 5000000\nVcoMHz 123.4\nR 2\nN_INT 12\nNFrac 5704253\nFFRAC 28521267200000\n"
              "RefReg 04000004\nIntgReg 06000018\nFracReg 08AE147A\nCPReg 13407FFE\nSDReg 0C0016FC\n"
              "ActualHz 12339999973.774\nErrorHz -26.226\n");
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

TEST(Vtplan, DecimalSeparatorFollowsTheLocale) {
    const std::string locale = commaLocale();
    if (locale.empty()) GTEST_SKIP() << "no locale with a decimal comma installed";
    const Outcome r = vtplan({"12340,5", "100", "10", "2"}, locale);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("VcoMHz 123,405\n"), std::string::npos);
    EXPECT_EQ(vtplan({"12340.5", "100", "10", "2"}, locale).status, 1);
}
