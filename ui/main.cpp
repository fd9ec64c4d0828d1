// vtconfig: the configurator window.
#include "common/notifier.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/error_report.h"
#include "ui/message_box_notifier.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    MessageBoxNotifier boxes;
    setNotifier(&boxes);
    installErrorReport();

    int rc = 0;
    {
        TForm1 Form1;
        Form1.show();
        rc = app.exec();
    }
    setNotifier(nullptr);
    return rc;
}
