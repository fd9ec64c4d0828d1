// vtshot: grabs the configurator window (or its error box) into a PNG, for the README and for
// looking at the layout without a screen:  QT_QPA_PLATFORM=offscreen vtshot out.png
//   --page N      show page N (0 "LowLevelCommand" ... 3 "ComPort", 4 "Channels"; default the start page)
//   --open FILE.h open a register header at start, as `vtconfig FILE.h` does
//   --search      press "search" before grabbing
//   --error TEXT  grab the general error report's box for TEXT instead of the window
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "planning/error_texts.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/error_report.h"
#include "ui/message_box_notifier.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: vtshot OUT.png [--page N] [--open FILE.h] [--search] [--error TEXT]\n");
    return 2;
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
// device of this machine (/dev/ttyS0 may be its console).
void portsLeadNowhere(const QTemporaryDir& home) {
    const std::filesystem::path ports = home.filePath("vtconfig/ports").toStdString();
    std::filesystem::create_directories(ports);
    for (int n = 1; n <= 12; ++n)
        std::filesystem::create_symlink(home.filePath("absent").toStdString(), ports / ("com" + std::to_string(n)));
    ::setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);
}

}  // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    if (argc < 2) return usage();
    const char* out = argv[1];
    int page = -1;
    bool search = false;
    const char* error = nullptr;
    StartOptions start;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--page") && i + 1 < argc)
            page = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--open") && i + 1 < argc)
            start.headerFile = argv[++i];
        else if (!std::strcmp(argv[i], "--search"))
            search = true;
        else if (!std::strcmp(argv[i], "--error") && i + 1 < argc)
            error = argv[++i];
        else
            return usage();
    }

    if (error) {
        // The box exactly as the general error report builds it, full stop included.
        const QString text = errorReportText(std::make_exception_ptr(text::VtError(error)));
        std::unique_ptr<QMessageBox> box(makeErrorBox(text, nullptr));
        return save(*box, out) ? 0 : 1;
    }

    installErrorReport();
    const QTemporaryDir home;
    if (!home.isValid()) return 1;
    portsLeadNowhere(home);
    TForm1 form(start);
    if (page >= 0) form.PageControl1->setCurrentIndex(page);
    if (search) form.Button4->click();
    return save(form, out) ? 0 : 1;
}
