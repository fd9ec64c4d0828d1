#include "tests/ui/ui_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

RecordingNotifier& recorder() {
    static RecordingNotifier r;
    return r;
}

QStringList shownErrors() { return recorder().texts(Shown::Error); }

WindowUnderTest::WindowUnderTest() : form(std::make_unique<TForm1>()) { recorder().shown.clear(); }

void setClock(TForm1& form, std::vector<std::tm> readings, std::string dateFormat, std::string timeFormat) {
    auto next = std::make_shared<size_t>(0);
    form.HeaderClock.now = [readings, next] {
        const std::tm t = readings.at(std::min(*next, readings.size() - 1));
        ++*next;
        return t;
    };
    form.HeaderClock.dateFormat = std::move(dateFormat);
    form.HeaderClock.timeFormat = std::move(timeFormat);
}

std::tm localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    std::tm copy = t;
    std::mktime(&copy);  // fills in the weekday, which some formats print
    t.tm_wday = copy.tm_wday;
    t.tm_yday = copy.tm_yday;
    return t;
}

namespace {

std::map<std::string, UiTestFactory>& uiTests() {
    static std::map<std::string, UiTestFactory> tests;
    return tests;
}

}  // namespace

bool registerUiTest(const char* sourceFile, UiTestFactory make) {
    const std::string file = std::filesystem::path(sourceFile).filename().string();
    const std::string suffix = "_test.cpp";
    const bool named = file.size() > suffix.size() && file.ends_with(suffix);
    if (!named || !uiTests().emplace(file.substr(0, file.size() - suffix.size()), make).second) {
        // ctest runs the class of each <name>_test.cpp by its name: any other would never run.
        std::fprintf(stderr, "%s: a window test class needs a <name>_test.cpp of its own\n", sourceFile);
        std::abort();
    }
    return true;
}

int runUiTest(int argc, char** argv) {
    const auto found = argc >= 2 ? uiTests().find(argv[1]) : uiTests().end();
    if (found == uiTests().end()) {
        std::fprintf(stderr, "usage: %s NAME [QTest options], NAME one of:", argc >= 1 ? argv[0] : "vtui_tests");
        for (const auto& [name, make] : uiTests()) std::fprintf(stderr, " %s", name.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::vector<char*> args(argv, argv + argc);  // the program's name and the class's options
    args.erase(args.begin() + 1);
    args.push_back(nullptr);
    int count = argc - 1;
    const std::unique_ptr<QObject> test = found->second();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The window connects at start-up. Every port name points at nothing here, so no test ever
    // opens a real serial port of the machine and every start-up connect fails the same way.
    const vttest::ConfigHome configHome;
    for (int n = 1; n <= 12; ++n) configHome.linkPort(n, "/nonexistent/vtconfig-test-port");
    TApplication app(count, args.data());
    setNotifier(&recorder());
    installErrorReport();
    const int rc = QTest::qExec(test.get(), count, args.data());
    setNotifier(nullptr);
    return rc;
}
