#pragma once
// The general error report: an error that ends a handler is shown in the error box, with a
// full stop appended where the runtime would append one; then the window carries on.
#include <QString>
#include <exception>

// The text the error box shows for e.
QString errorReportText(std::exception_ptr e);

// Makes the error box, shown through the notifier in force, the application's central exception
// handler.
void installErrorReport();
