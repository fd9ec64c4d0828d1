// vtshot: grabs the configurator window (or its error box) into a PNG, for the README and for
// looking at the layout without a screen:  QT_QPA_PLATFORM=offscreen vtshot out.png
//   --page N      show page N (0 "LowLevelCommand" ... 3 "ComPort", 4 "Channels"; default the start page)
//   --open FILE.h open a register header at start, as `vtconfig FILE.h` does
//   --search      press "search" before grabbing
//   --error TEXT  grab the general error report's box for TEXT instead of the window
//   --ports       grab the Ports dialog, opened from the "ComPort" page
//   --roots DIR   the ports line and dialog look at DIR/sys, DIR/dev, DIR/dev/serial/by-id
//   --link comN=PATH  comN's alias points at PATH instead of nowhere
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
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/standard_descriptors.h"
#include "planning/error_texts.h"
#include "serial/listed_ports.h"
#include "serial/port_catalog.h"
#include "serial/portname.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/error_report.h"
#include "ui/message_box_notifier.h"
#include "ui/ports_dialog.h"
#include "ui/ports_line.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: vtshot OUT.png [--page N] [--open FILE.h] [--search] [--error TEXT] [--ports] "
                 "[--roots DIR] [--link comN=PATH]...\n");
    return 2;
}

struct Options {
    const char* out = nullptr;
    int page = -1;
    bool search = false, ports = false;
    const char* error = nullptr;
    const char* roots = nullptr;
    std::vector<std::pair<std::string, std::string>> links;  // comN, target
    StartOptions start;
};

std::optional<Options> parse(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    Options o;
    o.out = argv[1];
    for (int i = 2; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--page") && more)
            o.page = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--open") && more)
            o.start.headerFile = argv[++i];
        else if (!std::strcmp(argv[i], "--search"))
            o.search = true;
        else if (!std::strcmp(argv[i], "--error") && more)
            o.error = argv[++i];
        else if (!std::strcmp(argv[i], "--ports"))
            o.ports = true;
        else if (!std::strcmp(argv[i], "--roots") && more)
            o.roots = argv[++i];
        else if (!std::strcmp(argv[i], "--link") && more && std::strchr(argv[i + 1], '=')) {
            const std::string link = argv[++i];
            o.links.emplace_back(link.substr(0, link.find('=')), link.substr(link.find('=') + 1));
        } else
            return std::nullopt;
    }
    return o;
}

bool save(QWidget& w, const char* path) {
    w.show();
    QApplication::processEvents();
    if (!w.grab().save(QString::fromLocal8Bit(path), "PNG")) {
        std::fprintf(stderr, "vtshot: cannot write %s\n", path);
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
    for (int n = 1; n <= commapi::kListedPorts; ++n)
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

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    TApplication app(argc, argv);
    const auto o = parse(argc, argv);
    if (!o) return usage();

    if (o->error) {
        // The box exactly as the general error report builds it, full stop included.
        const QString text = errorReportText(std::make_exception_ptr(text::VtError(o->error)));
        std::unique_ptr<QMessageBox> box(makeErrorBox(text, nullptr));
        return save(*box, o->out) ? 0 : 1;
    }

    installErrorReport();
    const QTemporaryDir home;
    if (!home.isValid()) return 1;
    portsLeadNowhere(home);
    for (const auto& [port, target] : o->links) {
        const auto alias = commapi::portAliasPath(port, commapi::configHome());
        if (!alias) return usage();
        std::filesystem::remove(*alias);
        std::filesystem::create_symlink(target, *alias);
    }
    TForm1 form(o->start);
    showWelcomeOnly(form);
    if (o->roots) lookAtRoots(form, o->roots);
    if (o->page >= 0) form.PageControl1->setCurrentIndex(o->page);
    if (o->search) form.Button4->click();
    if (o->ports) {
        form.show();
        PortsDialog* dialog = form.Ports->openDialog();
        return save(*dialog, o->out) ? 0 : 1;
    }
    return save(form, o->out) ? 0 : 1;
}
