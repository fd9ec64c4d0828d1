// vtshot: grabs the configurator window (or its error box) into a PNG, for the README and for
// looking at the layout without a screen:  QT_QPA_PLATFORM=offscreen vtshot out.png
//   --page N      show page N (0 "LowLevelCommand" ... 3 "ComPort", 4 "Channels"; default the start page)
//   --open FILE.h open a register header at start, as `vtconfig FILE.h` does
//   --search      press "search" before grabbing
//   --error TEXT  grab the general error report's box for TEXT instead of the window
//   --ports       grab the Ports dialog, opened from the "ComPort" page
//   --roots DIR   the ports line and dialog look at DIR/sys, DIR/dev, DIR/dev/serial/by-id
//   --link comN=PATH  comN's alias points at PATH instead of nowhere
//   --plot        on the "Band" page (5): press Plot, wait for the sweep, choose the point in the
//                 middle of the band on the first curve
#include <QEventLoop>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "files/standard_descriptors.h"
#include "planning/error_texts.h"
#include "protocol/listed_ports.h"
#include "serial/port_catalog.h"
#include "serial/portname.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/band_chart.h"
#include "ui/band_page.h"
#include "ui/error_report.h"
#include "ui/message_box_notifier.h"
#include "ui/ports_dialog.h"
#include "ui/ports_line.h"
#include "ui/start_options.h"

namespace {

enum Id { kPage, kOpen, kSearch, kError, kPorts, kRoots, kLink, kPlot };

const std::vector<cli::OptionDef> kOptionDefs{
    {"page", 0, true, kPage},    {"open", 0, true, kOpen},   {"search", 0, false, kSearch}, {"error", 0, true, kError},
    {"ports", 0, false, kPorts}, {"roots", 0, true, kRoots}, {"link", 0, true, kLink},      {"plot", 0, false, kPlot},
};

int usage(const std::string& error) {
    std::fprintf(stderr,
                 "vtshot: %s\n"
                 "usage: vtshot OUT.png [--page N] [--open FILE.h] [--search] [--error TEXT] [--ports] "
                 "[--roots DIR] [--link comN=PATH]... [--plot]\n",
                 error.c_str());
    return 2;
}

struct Options {
    std::string out;
    int page = -1;
    bool search = false, ports = false, plot = false;
    std::optional<std::string> error;
    std::optional<std::string> roots;
    std::vector<std::pair<std::string, std::string>> links;  // comN, target
    StartOptions start;
};

// Sets what the option says; the error text, or "".
std::string apply(const cli::Item& item, Options& o) {
    const std::string& v = item.value;
    switch (item.id) {
        case kPage:
            if (cli::takeInt(v, o.page, 0, std::numeric_limits<int>::max())) return {};
            return "--page: a page number from 0, not '" + v + "'";
        case kOpen: o.start.headerFile = v; return {};
        case kSearch: o.search = true; return {};
        case kError: o.error = v; return {};
        case kPorts: o.ports = true; return {};
        case kRoots: o.roots = v; return {};
        case kPlot: o.plot = true; return {};
        case kLink:
            if (const std::size_t at = v.find('='); at != std::string::npos) {
                o.links.emplace_back(v.substr(0, at), v.substr(at + 1));
                return {};
            }
            return "--link: comN=PATH, not '" + v + "'";
    }
    return {};
}

cli::ParseResult<Options> parse(const std::vector<std::string>& args) {
    cli::ParseResult<Options> r;
    std::vector<std::string> operands;
    r.error = cli::readOptions(
        args, kOptionDefs, [&r](const cli::Item& item) { return apply(item, r.options); }, operands);
    if (!r.error.empty()) return r;
    if (operands.size() != 1)
        r.error = "expected OUT.png";
    else
        r.options.out = operands.front();
    return r;
}

bool save(QWidget& w, const std::string& path) {
    w.show();
    QApplication::processEvents();
    if (!w.grab().save(QString::fromLocal8Bit(path.c_str()), "PNG")) {
        std::fprintf(stderr, "vtshot: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// A picture needs no unit: every comN leads nowhere, so the start-up connect never reaches a
// device of this machine (/dev/ttyS0 may be its console). The target is relative, inside the
// private folder: the ComPort page names it the same way at every run.
void portsLeadNowhere(const QTemporaryDir& home) {
    const std::filesystem::path ports = home.filePath("vtconfig/ports").toStdString();
    std::filesystem::create_directories(ports);
    for (int n = 1; n <= protocol::kListedPorts; ++n)
        std::filesystem::create_symlink("absent", ports / ("com" + std::to_string(n)));
    ::setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);
}

// The ports line and dialog of a picture may look at a made-up machine.
void lookAtRoots(TForm1& form, const std::string& dir) {
    form.Ports->setRoots([dir] {
        return commapi::CatalogRoots{.sys = dir + "/sys",
                                     .dev = dir + "/dev",
                                     .byId = dir + "/dev/serial/by-id",
                                     .configHome = commapi::configHome()};
    });
}

// A picture's start-up connect fails by design (each comN leads nowhere, or into a made-up
// machine), and its reason names a scratch folder that differs at every run. The status log of a
// picture is the same every time: the welcome line, as after a start that found the unit.
void showWelcomeOnly(TForm1& form) { form.Memo2->setPlainText(form.Memo2->document()->firstBlock().text()); }

// The band as the page plots it by default, and a point chosen so the line under the chart reads it.
void plotBand(TForm1& form) {
    form.show();
    form.PageControl1->setCurrentWidget(form.bandPage);
    QEventLoop wait;
    QObject::connect(form.bandPage, &BandPage::finished, &wait, &QEventLoop::quit);
    form.bandPage->plotButton->click();
    wait.exec();
    form.bandPage->chart->choose(form.bandPage->chart->result()->request.inputs.steps.count() / 2, 0);
}

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    TApplication app(argc, argv);
    const auto parsed = parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) return usage(parsed.error);
    const Options& o = parsed.options;

    if (o.error) {
        // The box exactly as the general error report builds it, full stop included.
        const QString text = errorReportText(std::make_exception_ptr(text::VtError(*o.error)));
        std::unique_ptr<QMessageBox> box(makeErrorBox(text, nullptr));
        return save(*box, o.out) ? 0 : 1;
    }

    installErrorReport();
    const QTemporaryDir home;
    if (!home.isValid()) return 1;
    portsLeadNowhere(home);
    for (const auto& [port, target] : o.links) {
        const auto alias = commapi::portAliasPath(port, commapi::configHome());
        if (!alias) return usage("--link: not a port name comN: '" + port + "'");
        std::filesystem::remove(*alias);
        std::filesystem::create_symlink(target, *alias);
    }
    TForm1 form(o.start);
    showWelcomeOnly(form);
    if (o.roots) lookAtRoots(form, *o.roots);
    if (o.page >= 0) form.PageControl1->setCurrentIndex(o.page);
    if (o.search) form.Button4->click();
    if (o.plot) plotBand(form);
    if (o.ports) {
        form.show();
        PortsDialog* dialog = form.Ports->openDialog();
        return save(*dialog, o.out) ? 0 : 1;
    }
    return save(form, o.out) ? 0 : 1;
}
