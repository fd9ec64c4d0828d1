// The device link against the simulated unit on pseudo-terminals, figures side by side:
//   write     per handshake round trip of "Write" (130 bytes, each after its reply) through the
//             link and the serial component, beside a raw loop doing the same 130-byte
//             handshake on the same pty (the floor); target within 2x
//   silent    CPU used while a command waits 5 s on a silent unit; target < 1% of a core
//   flood     1 MiB of unsolicited bytes: time to capture and log it, and the longest stall of
//             the event loop meanwhile; target < 100 ms. Logged into a plain string, into the
//             window's status log (64 KiB lines, long lines take larger appends) and, beside
//             it, into the former one: 768-character lines, every append shown at once
// Options: --writes N (per round, default 20), --rounds N (default 3), --flood-bytes N.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_options.h"
#include "bench/device/link_rig.h"
#include "testkit/cpu_time.h"
#include "testkit/qt/input_delay.h"
#include "ui/status_log.h"

namespace {

using benchrig::Clock;
using benchrig::Link;
using benchrig::median;
using benchrig::StringView;
using benchrig::Unit;

struct Options {
    int writes = 20;
    int rounds = 3;
    long floodBytes = 1L << 20;
};

// The status log as the window keeps it: a plain-text widget fed through StatusLog. Counted is
// what is in the widget (its characters less one paragraph separator a line), not what waits
// to go in.
struct EditView final : StringView {
    QPlainTextEdit edit;
    statuslog::StatusLog status{edit};
    EditView() {
        edit.resize(257, 73);
        edit.show();
    }
    void appendStatusText(const std::string& t) override { status.appendRunOn(QString::fromStdString(t)); }
    void clearStatus() override { status.clear(); }
    qsizetype logged() const override { return edit.document()->characterCount() - edit.document()->blockCount(); }
};

// The status log as the window kept it before, for comparison: every append at once, the run
// of bytes cut into paragraphs of the given length (768 characters), the widget's font as it is.
struct FormerEditView final : StringView {
    QPlainTextEdit edit;
    qsizetype chars = 0;
    qsizetype paragraph;
    explicit FormerEditView(qsizetype paragraphChars = 768) : paragraph(paragraphChars) {
        edit.setUndoRedoEnabled(false);
        edit.resize(257, 73);
        edit.show();
    }
    void appendStatusText(const std::string& text) override {
        const QString t = QString::fromStdString(text);
        QTextCursor c(edit.document());
        c.movePosition(QTextCursor::End);
        for (qsizetype at = 0; at < t.size();) {
            const qsizetype room = paragraph - (c.block().length() - 1);
            if (room <= 0) {
                c.insertBlock();
                continue;
            }
            c.insertText(t.mid(at, room));
            at += room;
        }
        edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum());
        chars += t.size();
    }
    void clearStatus() override {
        edit.clear();
        chars = 0;
    }
    qsizetype logged() const override { return chars; }
};

double linkHandshakes(const std::string& path, int writes, const planning::ChannelTable& table) {
    StringView view;
    Link l(view, path);
    const auto start = Clock::now();
    for (int w = 0; w < writes; ++w) {
        if (l.link.write(table) != device::Outcome::Reply || l.link.fields.RxCount != 130) return -1;
    }
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    // Let the last replies settle before the port closes.
    return us / (writes * 130.0);
}

void benchWrite(const Options& o) {
    Unit unit({});
    const planning::ChannelTable table = benchrig::fullTable();
    std::vector<double> raw, link;
    for (int r = 0; r < o.rounds; ++r) {
        raw.push_back(vttest::rawHandshakes(unit.slave, o.writes));
        link.push_back(linkHandshakes(unit.slave, o.writes, table));
    }
    const double floor = median(raw), ours = median(link);
    std::printf("write: %d rounds of %d writes (130 handshakes each) on one pty, vtunit answering\n", o.rounds,
                o.writes);
    std::printf("  %-28s %10s %8s\n", "", "us/trip", "ratio");
    std::printf("  %-28s %10.1f %8.2f\n", "raw write/poll/read loop", floor, 1.0);
    std::printf("  %-28s %10.1f %8.2f   (target <= 2.00)\n", "DeviceLink::write", ours, floor > 0 ? ours / floor : 0);
}

void benchSilent() {
    Unit unit({"--silent"});
    StringView view;
    Link l(view, unit.slave);
    l.link.setReplyLimit(std::chrono::milliseconds(5000));
    const double cpu0 = vttest::cpuSeconds();
    QElapsedTimer t;
    t.start();
    l.link.simpleCommand('I');
    const double wall = t.elapsed() / 1000.0;
    const double cpu = vttest::cpuSeconds() - cpu0;
    std::printf("silent: one reply wait on a silent unit\n");
    std::printf("  wall %.2f s, CPU %.4f s = %.3f%% of one core   (target < 1%%)   log line: %s\n", wall, cpu,
                100.0 * cpu / wall, view.log.endsWith(device::kNoReplyLine) ? "yes" : "NO");
}

void benchFlood(const Options& o, StringView& view, const char* name) {
    Unit unit({"--flood", std::to_string(o.floodBytes)});
    Link l(view, unit.slave);
    const qsizetype want = 3 * (o.floodBytes + 1);  // the answer to the trigger, then the flood
    QElapsedTimer since;
    vttest::TimerGapProbe gaps;
    QEventLoop loop;
    QTimer check;
    check.setInterval(5);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (view.logged() >= want || since.elapsed() > 120000) loop.quit();
    });
    vttest::InputDelayProbe input;
    const double cpu0 = vttest::cpuSeconds();
    since.start();
    gaps.start();
    check.start();
    l.link.sendKey("x");  // the unit floods after answering it
    loop.exec();
    const qint64 took = since.elapsed();
    const double cpu = vttest::cpuSeconds() - cpu0;
    gaps.stop();
    input.stop();
    std::printf("  %-28s %9lld ms %9lld ms %9lld ms %9lld ms %8.2f s %9d %9lld%s\n", name, static_cast<long long>(took),
                static_cast<long long>(input.worstMs()), static_cast<long long>(gaps.worstMs()),
                static_cast<long long>(l.worstHandlerMs), cpu, l.link.fields.RxEventCount,
                static_cast<long long>(view.logged() / 3), view.logged() >= want ? "" : "  (incomplete)");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    host::QtHost qtHost;
    benchrig::QuietNotifier quiet;
    setNotifier(&quiet);
    Options o;
    benchrig::readBenchOptions(
        argc, argv,
        {{"writes", &o.writes, 1, 10000}, {"rounds", &o.rounds, 1, 1000}, {"flood-bytes", &o.floodBytes, 1, 1L << 30}});
    benchWrite(o);
    benchSilent();
    std::printf(
        "flood: %ld unsolicited bytes; input delay: an event posted every 2 ms (target < 100 ms);\n  timer gap: "
        "longest gap of a 1 ms timer (Qt runs timers at idle priority while posted events keep coming)\n",
        o.floodBytes);
    std::printf("  %-28s %12s %12s %12s %12s %10s %9s %9s\n", "status log", "all logged", "input delay", "timer gap",
                "worst rx", "CPU", "rx events", "bytes");
    StringView plain;
    benchFlood(o, plain, "QString");
    FormerEditView former;
    benchFlood(o, former, "edit, 768-char lines (was)");
    EditView window;
    benchFlood(o, window, "edit, 64 KiB lines, held");
    if (o.floodBytes <= (1L << 17)) {  // one growing line shown at once is quadratic: keep it small
        FormerEditView single(std::numeric_limits<qsizetype>::max());
        benchFlood(o, single, "edit, one line, at once");
    }
    setNotifier(nullptr);
    return 0;
}
