#include "tests/ui/ui_test_support.h"

#include <cstdlib>

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

int runUiTest(QObject& test, int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The window connects at start-up. Every port name points at nothing here, so no test ever
    // opens a real serial port of the machine and every start-up connect fails the same way.
    const vttest::ConfigHome configHome;
    for (int n = 1; n <= 12; ++n) configHome.linkPort(n, "/nonexistent/vtconfig-test-port");
    TApplication app(argc, argv);
    setNotifier(&recorder());
    installErrorReport();
    const int rc = QTest::qExec(&test, argc, argv);
    setNotifier(nullptr);
    return rc;
}
