#pragma once
// What the device benchmarks share: the simulated unit on a pty of its own, the link with the
// real serial component on it, a quiet notifier and a status log kept as a string.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/notifier.h"
#include "device/device_link.h"
#include "device/rs232c_port.h"
#include "serial/qt/qt_host.h"
#include "serial/rs232c.h"
#include "testkit/raw_handshakes.h"
#include "testkit/unit_process.h"

namespace benchrig {

using Clock = std::chrono::steady_clock;

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

class QuietNotifier final : public Notifier {
public:
    void showMessage(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    void showError(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void beep(unsigned) override {}
};

// The status log kept as one string: what a cheap log costs at least.
struct StringView : device::DeviceView {
    QString log;
    void appendStatusText(const std::string& t) override { log += QString::fromStdString(t); }
    void appendStatusLine(const std::string& l) override { log += '\n' + QString::fromStdString(l); }
    void clearStatus() override { log.clear(); }
    void showReceiveCount(const std::string&) override {}
    void showBuffer(const std::string&) override {}
    void enableOpen(bool) override {}
    void enableClose(bool) override {}
    void resumeClose() override {}
    virtual qsizetype logged() const { return log.size(); }
};

// vtunit with args on a pty of its own (no alias); slave is the path to open.
struct Unit {
    vttest::TempDir dir;
    std::unique_ptr<vttest::UnitProcess> process;
    std::string slave;
    explicit Unit(std::vector<std::string> args) {
        args.insert(args.end(), {"--no-link", "--slave-file", dir.file("slave")});
        process = std::make_unique<vttest::UnitProcess>(dir.path(), "/dev/null", args);
        if (!vttest::UnitProcess::waitForPath(dir.file("slave"))) {
            std::fprintf(stderr, "bench: vtunit did not start\n");
            std::exit(1);
        }
        QElapsedTimer t;
        t.start();
        while (slave.empty() && t.elapsed() < 2000) {
            slave = vttest::readWholeFile(dir.file("slave"));
            if (!slave.empty() && slave.back() == '\n')
                slave.pop_back();
            else
                slave.clear();
        }
    }
};

// The window's link on the real component, connected to path at baud.
struct Link {
    Trs232c rs232c1;
    device::Rs232cPort port{rs232c1};
    device::DeviceLink link;
    qint64 worstHandlerMs = 0;  // the longest receive handler (drain, capture and log)
    Link(device::DeviceView& view, const std::string& path, const std::string& baud = "115200") : link(port, view) {
        rs232c1.setrxtimeout(300);
        rs232c1.settxtimeout(300);
        rs232c1.OnRXCHAR = [this](Trs232c*) {
            QElapsedTimer t;
            t.start();
            link.onRxChar();
            worstHandlerMs = std::max(worstHandlerMs, t.elapsed());
        };
        rs232c1.OnOpen = [this](Trs232c*) { link.onOpen(); };
        rs232c1.OnClose = [this](Trs232c*) { link.onClose(); };
        link.connect(baud, path, false);
        if (!rs232c1.isOpen()) {
            std::fprintf(stderr, "bench: cannot open %s\n", path.c_str());
            std::exit(1);
        }
    }
};

// A full channel table, so every Write sends the same 130 bytes.
inline planning::ChannelTable fullTable() {
    planning::ChannelTable table;
    for (int c = 0; c < 8; ++c)
        table.set(c,
                  planning::RegisterWords{.RefReg = 0x04000004u + c,
                                          .IntgReg = 0x06000018,
                                          .FracReg = 0x08AE147A,
                                          .CPReg = 0x13407FFE,
                                          .SDReg = 0x0C0016FC},
                  "");
    return table;
}

}  // namespace benchrig
