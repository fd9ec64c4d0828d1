// One-byte echo round trips over one pseudo-terminal, measured from the far (master) side:
// the far end writes a byte and waits for it to come back. Four echoers take turns on the
// slave side, in the same run:
//   raw         a thread with poll()/read()/write() on the fd: the floor
//   Trs232c     comm layer -> event thread -> OnRXCHAR on the GUI thread -> WriteByte
//   QSerialPort readyRead on the GUI thread -> readAll -> write
//   thread+postEvent  the component's shape and nothing else: a thread with poll()/read()
//               posts to an object on the GUI thread, which write()s the bytes back; what the
//               hop to the GUI thread costs by itself, the floor for Trs232c
// Then the CPU time that an open, idle component costs over a few seconds.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_options.h"
#include "serial/qt/qt_host.h"
#include "serial/rs232c.h"
#include "testkit/cpu_time.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int trips = 2500;  // round trips per echoer per round
    int rounds = 6;    // the echoers take turns this many times
    int warmup = 500;
    int idleSeconds = 10;
    std::string only;  // run just the echoers whose name starts with this (to profile one path)
};

// The far end: sends one byte, waits for one byte back; returns the round trip in µs, or -1.
double roundTrip(int master, std::uint8_t b) {
    const auto t0 = Clock::now();
    if (::write(master, &b, 1) != 1) return -1;
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 2000) != 1) return -1;
    std::uint8_t got = 0;
    if (::read(master, &got, 1) != 1 || got != b) return -1;
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

// Runs n round trips on a thread (plus warm-up) while the GUI thread runs its event loop.
std::vector<double> measureWithEventLoop(int master, const Options& o) {
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(o.trips));
    QEventLoop loop;
    std::atomic<bool> failed{false};
    std::thread far([&] {
        for (int i = 0; i < o.warmup + o.trips; ++i) {
            const double us = roundTrip(master, static_cast<std::uint8_t>(i));
            if (us < 0) {
                failed = true;
                break;
            }
            if (i >= o.warmup) samples.push_back(us);
        }
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    far.join();
    if (failed) samples.clear();
    return samples;
}

std::vector<double> runRaw(int master, const std::string& path, const Options& o) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    const int stop = ::eventfd(0, EFD_NONBLOCK);
    std::thread echo([&] {
        pollfd p[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
        for (;;) {
            if (::poll(p, 2, -1) < 0) continue;
            if (p[1].revents) break;
            std::uint8_t buf[64];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0 && ::write(fd, buf, static_cast<std::size_t>(n)) != n) break;
        }
    });
    std::vector<double> samples;
    for (int i = 0; i < o.warmup + o.trips; ++i) {
        const double us = roundTrip(master, static_cast<std::uint8_t>(i));
        if (us < 0) break;
        if (i >= o.warmup) samples.push_back(us);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t w = ::write(stop, &one, sizeof one);
    echo.join();
    ::close(stop);
    ::close(fd);
    return samples;
}

std::vector<double> runComponent(int master, const std::string& path, const Options& o) {
    Trs232c rs;
    rs.setportname(path);
    rs.setbps(115200);
    rs.setrxtimeout(300);
    rs.settxtimeout(300);
    rs.OnRXCHAR = [](Trs232c* s) {
        std::uint8_t b;
        while (s->InQueueCount() > 0 && s->ReadByte(b)) s->WriteByte(b);
    };
    if (!rs.Open()) return {};
    auto samples = measureWithEventLoop(master, o);
    rs.Close();
    return samples;
}

// The GUI end of the thread+postEvent echoer: writes back what the thread handed over.
class HopEchoer final : public QObject {
public:
    explicit HopEchoer(int fd) : fd_(fd) {}
    // Reader thread: queues the bytes; true when the GUI thread needs a new message.
    bool hand(const std::uint8_t* data, std::size_t n) {
        std::lock_guard lock(m_);
        const bool wasEmpty = bytes_.empty();
        bytes_.insert(bytes_.end(), data, data + n);
        return wasEmpty;
    }
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        std::vector<std::uint8_t> out;
        {
            std::lock_guard lock(m_);
            out.swap(bytes_);
        }
        if (!out.empty()) {
            [[maybe_unused]] ssize_t w = ::write(fd_, out.data(), out.size());
        }
        return true;
    }

private:
    const int fd_;
    std::mutex m_;                     // guards bytes_
    std::vector<std::uint8_t> bytes_;  // written by the reader thread, taken by the GUI thread
};

std::vector<double> runHop(int master, const std::string& path, const Options& o) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    HopEchoer gui(fd);
    const int stop = ::eventfd(0, EFD_NONBLOCK);
    std::thread reader([&] {
        pollfd p[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
        for (;;) {
            if (::poll(p, 2, -1) < 0) continue;
            if (p[1].revents) break;
            std::uint8_t buf[64];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0 && gui.hand(buf, static_cast<std::size_t>(n))) {
                QCoreApplication::postEvent(&gui, new QEvent(QEvent::User));
            }
        }
    });
    auto samples = measureWithEventLoop(master, o);
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t w = ::write(stop, &one, sizeof one);
    reader.join();
    QCoreApplication::removePostedEvents(&gui);
    ::close(stop);
    ::close(fd);
    return samples;
}

std::vector<double> runQSerialPort(int master, const std::string& path, const Options& o) {
    QSerialPort port;
    port.setPortName(QString::fromStdString(path));
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "QSerialPort: %s\n", qPrintable(port.errorString()));
        return {};
    }
    port.setBaudRate(115200);
    QObject::connect(&port, &QSerialPort::readyRead, [&] { port.write(port.readAll()); });
    auto samples = measureWithEventLoop(master, o);
    port.close();
    return samples;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

double idleCpuMs(const std::string& path, int seconds) {
    Trs232c rs;
    rs.setportname(path);
    rs.OnRXCHAR = [](Trs232c*) {};
    if (!rs.Open()) return -1;
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);  // settle
    loop.exec();
    const double c0 = vttest::cpuSeconds();
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double used = vttest::cpuSeconds() - c0;
    rs.Close();
    return used * 1000.0;
}

struct Echoer {
    const char* name;
    std::function<std::vector<double>()> run;
    std::vector<double> all;
};

// The echoers' figures side by side: median and p99, each median as a ratio to the raw loop and
// to QSerialPort ("-" where that echoer did not run).
void printTable(const std::vector<Echoer>& echoers, const Options& o) {
    const auto medianOf = [&](const char* name) {
        for (const Echoer& e : echoers)
            if (std::string(e.name) == name) return percentile(e.all, 0.5);
        return 0.0;
    };
    const double rawMedian = medianOf("raw poll/read/write");
    const double qspMedian = medianOf("QSerialPort");
    const auto ratio = [](double a, double b) {
        char text[32] = "-";
        if (b > 0) std::snprintf(text, sizeof text, "%.2f", a / b);
        return std::string(text);
    };
    std::printf("serial echo: one-byte round trips over one pty, %d x %d per echoer, taking turns\n", o.rounds,
                o.trips);
    std::printf("%-22s %12s %12s %10s %14s\n", "echoer", "median us", "p99 us", "x raw", "x QSerialPort");
    for (const Echoer& e : echoers) {
        const double med = percentile(e.all, 0.5);
        std::printf("%-22s %12.1f %12.1f %10s %14s\n", e.name, med, percentile(e.all, 0.99),
                    ratio(med, rawMedian).c_str(), ratio(med, qspMedian).c_str());
    }
}

Options parseOptions(int argc, char** argv) {
    Options o;
    benchrig::readBenchOptions(argc, argv,
                               {{"only", &o.only},
                                {"trips", &o.trips, 1, 1000000},
                                {"rounds", &o.rounds, 1, 1000},
                                {"idle-seconds", &o.idleSeconds, 0, 3600}});
    return o;
}

// A raw pty; the echoers answer on the master, the component opens the slave by its path.
bool openRawPty(int& master, std::string& path) {
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return false;
    path = ::ttyname(slave);
    termios t{};
    ::tcgetattr(master, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master, TCSANOW, &t);
    ::close(slave);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    host::QtHost qtHost;
    const Options o = parseOptions(argc, argv);
    int master = -1;
    std::string path;
    if (!openRawPty(master, path)) {
        std::perror("openpty");
        return 1;
    }
    std::vector<Echoer> echoers = {
        {"raw poll/read/write", [&] { return runRaw(master, path, o); }, {}},
        {"Trs232c", [&] { return runComponent(master, path, o); }, {}},
        {"QSerialPort", [&] { return runQSerialPort(master, path, o); }, {}},
        {"thread+postEvent", [&] { return runHop(master, path, o); }, {}},
    };
    if (!o.only.empty()) {
        std::erase_if(echoers, [&](const Echoer& e) { return !std::string(e.name).starts_with(o.only); });
        if (echoers.empty()) {
            std::fprintf(stderr, "--only: raw, Trs232c, QSerialPort or thread+postEvent\n");
            return 1;
        }
    }
    for (int r = 0; r < o.rounds; ++r) {
        for (Echoer& e : echoers) {
            auto s = e.run();
            if (s.empty()) {
                std::fprintf(stderr, "%s: no echo\n", e.name);
                return 1;
            }
            e.all.insert(e.all.end(), s.begin(), s.end());
        }
    }
    printTable(echoers, o);
    if (o.idleSeconds > 0) {
        const double ms = idleCpuMs(path, o.idleSeconds);
        std::printf("serial idle: CPU time of an open, idle Trs232c over %d s: %.1f ms\n", o.idleSeconds, ms);
    }
    ::close(master);
    return 0;
}
