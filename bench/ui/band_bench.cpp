// The window while the "Band" page sweeps, and the window's start, side by side in one run:
//   sweep     4 R x 100,000 outputs (12290.000 to 12389.999 MHz in 1 kHz steps, x100 on 10 MHz)
//             plotted by the page, its thread doing the sweep, beside the same sweep run on the
//             GUI thread. "input delay" is the longest delay of an event posted every 2 ms by
//             another thread (as input would reach the window), target under 100 ms; "timer gap"
//             the longest gap of a 1 ms timer; "done" the time until the result is shown.
//   start-up  from starting a process to its window painted once, median of --rounds: a bare
//             Qt window of the same size; the same with one label in the window's font (the font
//             database is what a window with text pays first); the configurator (the "Band" page
//             made when first shown); and the configurator with the page made at the start, for
//             comparison. Target: the configurator within 1.3x of the bare window.
// Every comN of the window leads nowhere (a private configuration folder), so no device of the
// machine is opened. Options: --rounds N (default 9), --outputs N (default 100000).
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "bench/bench_options.h"
#include "common/notifier.h"
#include "testkit/qt/input_delay.h"
#include "testkit/temp_dir.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/band_chart.h"
#include "ui/band_page.h"
#include "ui/fonts.h"

namespace {

using Clock = std::chrono::steady_clock;

class Quiet final : public Notifier {
public:
    void showMessage(const QString&) override {}
    void showError(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void beep(unsigned) override {}
};

// Every comN a link to nothing, the settings and state in private folders.
void privateMachine(const vttest::TempDir& home) {
    const std::filesystem::path ports = home.file("config/vtconfig/ports");
    std::filesystem::create_directories(ports);
    for (int n = 1; n <= 12; ++n) std::filesystem::create_symlink("absent", ports / ("com" + std::to_string(n)));
    std::filesystem::create_directories(home.file("cwd"));
    ::setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", home.file("state").c_str(), 1);
}

struct Responsiveness {
    qint64 doneMs = 0, worstDelayMs = 0, worstGapMs = 0;
};

// Runs work (which returns once the sweep is shown) while input is posted and a timer ticks.
Responsiveness measure(const std::function<void()>& work) {
    vttest::InputDelayProbe input;
    vttest::TimerGapProbe gaps;
    QElapsedTimer since;
    since.start();
    gaps.start();
    work();
    const qint64 done = since.elapsed();
    // What the result costs the window after it arrived (the chart's first paint) counts too.
    QEventLoop after;
    QTimer::singleShot(300, &after, &QEventLoop::quit);
    after.exec();
    gaps.stop();
    input.stop();
    return {done, input.worstMs(), gaps.worstMs()};
}

void benchSweep(long outputs) {
    TForm1 form;
    form.show();
    form.PageControl1->setCurrentWidget(form.bandPage);
    BandPage& page = *form.bandPage;
    const long lastKhz = 12290000 + outputs - 1;
    page.fromEdit->setText(QStringLiteral("12290.000"));
    page.toEdit->setText(QStringLiteral("%1.%2").arg(lastKhz / 1000).arg(lastKhz % 1000, 3, 10, QChar('0')));
    page.stepEdit->setText(QStringLiteral("0.001"));
    page.rEdit->setText(QStringLiteral("1, 2, 3, 4"));
    QCoreApplication::processEvents();

    const Responsiveness threaded = measure([&] {
        QEventLoop wait;
        QObject::connect(&page, &BandPage::finished, &wait, &QEventLoop::quit);
        page.plotButton->click();
        wait.exec();
    });
    // The chart drawn after a new result (its lines worked out) and again (as pointing does).
    QElapsedTimer paint;
    page.chart->setMarks({});
    paint.start();
    page.chart->repaint();
    const double firstPaintMs = paint.nsecsElapsed() / 1e6;
    paint.restart();
    page.chart->repaint();
    const double againMs = paint.nsecsElapsed() / 1e6;
    // The same sweep on the GUI thread: what the window would do without the page's thread.
    std::atomic<bool> stop{false};
    std::atomic<int64_t> done{0};
    std::string problem;
    const auto steps = planning::SweepSteps::read(page.fromEdit->text().toStdString(),
                                                  page.toEdit->text().toStdString(), "0.001", '.', problem);
    const band::Request same{{*steps, {1, 2, 3, 4}, "100", "10"}, 1'000'000};
    const Responsiveness inline_ = measure([&] { band::compute(same, stop, done); });

    std::printf("sweep: %ld outputs x 4 R = %ld points, plotted by the \"Band\" page\n", outputs, 4 * outputs);
    std::printf("  %-34s %10s %14s %12s\n", "", "done", "input delay", "timer gap");
    std::printf("  %-34s %7lld ms %11lld ms %9lld ms   (target: input delay < 100 ms)\n",
                "page (sweep on its own thread)", static_cast<long long>(threaded.doneMs),
                static_cast<long long>(threaded.worstDelayMs), static_cast<long long>(threaded.worstGapMs));
    std::printf("  %-34s %7lld ms %11lld ms %9lld ms\n", "the same sweep on the GUI thread",
                static_cast<long long>(inline_.doneMs), static_cast<long long>(inline_.worstDelayMs),
                static_cast<long long>(inline_.worstGapMs));
    std::printf("  chart of %ld points: first paint %.1f ms, painted again (pointing) %.1f ms\n", 4 * outputs,
                firstPaintMs, againMs);
}

// --- start-up: each in a process of its own ------------------------------------------------

// The child: its window shown and painted once, then a byte on fd and out.
int child(const char* mode, int fd) {
    int argc = 1;
    char name[] = "bench_ui_band";
    char* argv[] = {name, nullptr};
    Quiet quiet;
    if (!std::strcmp(mode, "bare") || !std::strcmp(mode, "label")) {
        QApplication app(argc, argv);
        QWidget w;
        w.setFixedSize(632, 460);
        if (!std::strcmp(mode, "label")) {
            w.setFont(windowFont());
            (new QLabel(QStringLiteral("Vantorix Configurator"), &w))->move(392, 384);
        }
        w.show();
        QCoreApplication::processEvents();
        w.repaint();
        (void)!::write(fd, "x", 1);
        ::_exit(0);
    }
    TApplication app(argc, argv);
    setNotifier(&quiet);
    TForm1 form;
    if (!std::strcmp(mode, "eager")) form.bandPage->build();
    form.show();
    QCoreApplication::processEvents();
    form.repaint();
    (void)!::write(fd, "x", 1);
    ::_exit(0);
}

// Milliseconds from fork to the child's byte.
double startOnce(const char* self, const char* mode) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        ::execl(self, self, "--child", mode, fd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    char byte = 0;
    const bool got = ::read(fds[0], &byte, 1) == 1;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return got ? ms : -1;
}

void benchStart(const char* self, int rounds) {
    constexpr int kModes = 4;
    const char* modes[kModes] = {"bare", "label", "window", "eager"};
    std::vector<double> times[kModes];
    for (int r = 0; r < rounds; ++r)  // alternating, so that the machine's load falls on all alike
        for (int m = 0; m < kModes; ++m) times[m].push_back(startOnce(self, modes[m]));
    double median[kModes];
    for (int m = 0; m < kModes; ++m) {
        std::sort(times[m].begin(), times[m].end());
        median[m] = times[m][times[m].size() / 2];
    }
    std::printf("start-up: process start to the window painted once, median of %d rounds\n", rounds);
    std::printf("  %-44s %10s %8s %8s\n", "", "ms", "to bare", "to label");
    const char* names[kModes] = {"bare Qt window, 632 x 460", "the same with a label in the window's font",
                                 "configurator (\"Band\" made when first shown)",
                                 "configurator, \"Band\" made at the start"};
    for (int m = 0; m < kModes; ++m)
        std::printf("  %-44s %10.1f %8.2f %8.2f%s\n", names[m], median[m], median[m] / median[0], median[m] / median[1],
                    m == 2 ? "   (target <= 1.30)" : "");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && !std::strcmp(argv[1], "--child")) return child(argv[2], std::atoi(argv[3]));
    int rounds = 9;
    long outputs = 100000;
    benchrig::readBenchOptions(argc, argv, {{"rounds", &rounds, 1, 1000}, {"outputs", &outputs, 2, 250000}});
    const vttest::TempDir home;
    privateMachine(home);
    const vttest::CurrentDirectory cwd(home.file("cwd"));
    {
        TApplication app(argc, argv);
        Quiet quiet;
        setNotifier(&quiet);
        benchSweep(outputs);
        setNotifier(nullptr);
    }
    benchStart("/proc/self/exe", rounds);
    return 0;
}
