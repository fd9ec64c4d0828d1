#include "ui/error_report.h"

#include <stdexcept>

#include "common/exception_report.h"
#include "common/notifier.h"
#include "text/vt_error.h"

QString errorReportText(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        return QString::fromStdString(text::withFullStop(ex.what()));
    } catch (...) {
        return QString::fromStdString(text::withFullStop("不明な例外"));
    }
}

void installErrorReport() {
    setExceptionHandler([](std::exception_ptr e) { notifier().showError(errorReportText(e)); });
}
