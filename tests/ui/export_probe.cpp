// Runs one header export in the directory given, as whatever user started it, and prints the
// errors the window would have shown (one a line). Used to export without root's privileges.
#include <unistd.h>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "tests/ui/ui_test_support.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vtui_export_probe DIR\n");
        return 2;
    }
    TApplication app(argc, argv);
    setNotifier(&recorder());
    installErrorReport();
    if (::chdir(argv[1]) != 0) {
        std::perror("vtui_export_probe: chdir");
        return 125;  // the directory is out of this user's reach: nothing was tried
    }
    {
        TForm1 form;
        recorder().shown.clear();
        QTest::mouseClick(form.Button15, Qt::LeftButton);
    }
    for (const QString& e : shownErrors()) std::printf("%s\n", e.toUtf8().constData());
    setNotifier(nullptr);
    return 0;
}
