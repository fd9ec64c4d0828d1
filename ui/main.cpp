// vtconfig: the configurator window. `vtconfig FILE.h` opens a register header at start.
#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/notifier.h"
#include "files/standard_descriptors.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/error_report.h"
#include "ui/message_box_notifier.h"
#include "ui/start_options.h"

namespace {

StartParse startOptions(int argc, char** argv) {
    return parseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
}

// Prints the usage; a usage that did not reach its reader (a full disk, a closed stdout) is no
// success. The exit code.
int printUsage() {
    std::cout << kVtconfigUsage << '\n' << std::flush;
    if (std::cout) return 0;
    std::cerr << "vtconfig: cannot write to standard output\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    files::guardStandardDescriptors();  // before anything opens a descriptor of its own
    // The usage needs no screen: asked for on a line Qt has nothing in, it comes before the application.
    if (const StartParse early = startOptions(argc, argv); early.error.empty() && early.options.help)
        return printUsage();
    // Qt takes its options out of argv wherever they stand; what follows "--" is the program's
    // alone (a file named "-style" stays a file), so Qt sees only the words before it.
    const int ours = static_cast<int>(std::find(argv + 1, argv + argc, std::string_view("--")) - argv);
    int qtArgc = ours;
    TApplication app(qtArgc, argv);  // takes Qt's own options out of argv[0, ours)
    std::vector<std::string> args(argv + 1, argv + qtArgc);
    args.insert(args.end(), argv + ours, argv + argc);
    const StartParse start = parseStartOptions(args);
    if (!start.error.empty()) {
        std::cerr << "vtconfig: " << start.error << '\n' << kVtconfigUsage << '\n';
        return 2;
    }
    if (start.options.help) return printUsage();
    MessageBoxNotifier boxes;
    setNotifier(&boxes);
    installErrorReport();

    int rc = 0;
    {
        TForm1 Form1(start.options);
        Form1.show();
        rc = app.exec();
    }
    setNotifier(nullptr);
    return rc;
}
