// vtconfig: the configurator window. `vtconfig FILE.h` opens a register header at start.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "common/notifier.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/error_report.h"
#include "ui/message_box_notifier.h"
#include "ui/start_options.h"

namespace {

std::optional<StartOptions> startOptions(int argc, char** argv, std::string& problem) {
    return parseStartOptions(std::vector<std::string>(argv + 1, argv + argc), problem);
}

}  // namespace

int main(int argc, char** argv) {
    // The usage needs no screen: asked for on a line Qt has nothing in, it comes before the application.
    std::string problem;
    if (const auto early = startOptions(argc, argv, problem); early && early->help) {
        std::cout << kVtconfigUsage << '\n';
        return 0;
    }
    TApplication app(argc, argv);  // takes Qt's own options out of argv
    const auto start = startOptions(argc, argv, problem);
    if (!start) {
        std::cerr << "vtconfig: " << problem << '\n' << kVtconfigUsage << '\n';
        return 2;
    }
    if (start->help) {
        std::cout << kVtconfigUsage << '\n';
        return 0;
    }
    MessageBoxNotifier boxes;
    setNotifier(&boxes);
    installErrorReport();

    int rc = 0;
    {
        TForm1 Form1(*start);
        Form1.show();
        rc = app.exec();
    }
    setNotifier(nullptr);
    return rc;
}
