#pragma once
// How the program talks to the operator outside its controls: message boxes and the beep.
// The window installs the real one (modal Qt boxes); tests install a recorder, so nothing
// modal blocks them and they can read what would have been shown.
#include <QString>

class Notifier {
public:
    virtual ~Notifier() = default;
    // Plain message box with one OK button ("Error", "データ読込みエラー", ...).
    virtual void showMessage(const QString& text) = 0;
    // The general error report: error icon, one OK button, the application's title.
    // The text arrives complete (full-stop rule already applied).
    virtual void showError(const QString& text) = 0;
    // The system beep of the given MessageBeep type (64 = asterisk).
    virtual void beep(unsigned type) = 0;
    // A question with the buttons Yes and No, No the default; true when the operator chose Yes.
    // A notifier that cannot ask answers No.
    virtual bool ask(const QString& /*question*/) { return false; }
};

// The notifier in force; never null (a fallback writes to stderr until one is installed).
Notifier& notifier();
// Installs n (not owned) as the notifier in force; nullptr restores the fallback.
// Returns the one in force before.
Notifier* setNotifier(Notifier* n);
