#pragma once
// The configurator's one window. Every control is a named member (objectName set to the same
// name); every action is a handler method named after the control and its event. Handlers run
// through guarded(), so an error they raise ends only that handler and reaches the general
// error report.
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/exception_report.h"
#include "headerfile/header_text.h"
#include "planning/channel_table.h"
#include "planning/register_words.h"
#include "planning/slot_record.h"

class BandPage;
class ChannelsPage;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class PortsLine;
class SettingControls;
class TClickLabel;
class TRadioGroup;
class TScrollBar;
class Trs232c;
struct StartOptions;
namespace channels {
class KeptTable;
}
namespace device {
class DeviceLink;
}
namespace settings {
class SettingsFile;
}
namespace statuslog {
class StatusLog;
}

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Builds the controls, wires the handlers and runs FormCreate.
    explicit TForm1(QWidget* parent = nullptr);
    TForm1(StartOptions start, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up, in this order: reset; settings load (clears Memo3); reset again, so the current
    // labels follow the loaded positions; welcome line; the channel table of the command line or
    // the one kept at the last close; connect with the loaded port.
    void FormCreate();
    // Shutdown: save the settings, keep the channel table when the operator chose to, then close
    // the port. A failed save is reported by the general error report; then the operator is asked
    // whether to close without saving, and the window stays open unless he says Yes. Returns false
    // when the close must stop.
    bool FormClose();

    // Ratio finder.
    void Button4Click();  // search
    void CaptionInit();   // reset of the result displays
    void Button5Click();  // "reset"
    void Edit1KeyUp();
    void Edit2KeyUp();
    void Edit3KeyUp();
    // Register words from the charge-pump and SD controls and the result labels.
    void CalcPLLReg();
    void ScrollBar1Scroll(int ScrollPos);
    void ScrollBar2Scroll(int ScrollPos);
    void ScrollBar3Scroll(int ScrollPos);
    // Memory channels and their export.
    void Button14Click();  // "set"
    void Button15Click();  // "header file"
    // The "Channels" page (Unit1_channels.cpp).
    void OpenChannelsClick();  // "Open…": a register header replaces the table whole, or nothing changes
    void SaveChannelsClick();  // "Save…": the header export under a name the operator picks
    void NearestWordClick();   // "Nearest word": the selected slots' words become the nearest word
    void openChannels(const std::string& path);  // throws text::VtError; the table stays as it was
    void takeTable(planning::ChannelTable opened, const std::string& path);  // a table read whole from path
    // The "Band" page (Unit1_band.cpp).
    void UseBandClick();         // "Use": the chosen output and R into LocalOutput and R, then the search
    void UseNearestBandClick();  // "Use nearest word": as "Use", then the nearest word's 03h and 04h words
    void SaveBandClick();        // "Save…": the chart as PNG or SVG, the sweep as CSV

    // Device link: connect, disconnect, the serial component's events, the commands.
    void Button1Click();  // "Open"
    void Button2Click();  // "Close"
    void rs232c1Open(Trs232c* Sender);
    void rs232c1Close(Trs232c* Sender);
    void rs232c1RXCHAR(Trs232c* Sender);
    void rs232c1PACKET(Trs232c* Sender);
    void Button10Click();  // "Initialize", also a click on Label26
    void Button3Click();   // "ch0"
    void Button16Click();  // "ch1"
    void Button17Click();
    void Button18Click();
    void Button19Click();
    void Button20Click();
    void Button21Click();
    void Button22Click();  // "ch7"
    void Button11Click();  // "Dump"
    void Button6Click();   // "Write"
    void Button13Click();  // "View Buffer"
    void Edit8KeyPress(const QString& Key);
    void Button12Click();  // hidden "send"

    // The clock's time as a slot's status shows it, "HH:MM".
    std::string clockTime() const;

    // The controls' current choices, as the planning core takes them.
    planning::ChargePumpSettings chargePumpSettings() const;
    planning::SdSettings sdSettings() const;

    // Working data; owned by the window, GUI thread only.
    planning::RegisterWords Words;        // RefReg, IntgReg, FracReg, CPReg, SDReg; zero until the first search
    planning::ChannelTable ChannelTable;  // memory channels ch0..ch7 (slot 8 unused)
    char DecimalSeparator;                // the locale's, read once at creation
    headerfile::ExportClock HeaderClock;  // clock and formats of the header export
private:
    // The serial component, the link and the port between them, defined in Unit1.cpp so that
    // this header needs none of their headers; and what the link shows, in the window's texts.
    class LinkView;
    struct Connection;
    std::unique_ptr<Connection> connection_;

public:
    Trs232c& rs232c1;          // the serial port component, closed until the connect
    device::DeviceLink& Link;  // RxBuffer, RxCount, RxSeen ... in Link.fields

    // What the window knows of each slot: where it came from, the search behind its words,
    // whether the unit holds it. The Channels page shows it.
    planning::SlotRecords ChannelRecords;
    // The last search that went through to its five words; "set" records it with the slot.
    std::optional<planning::SearchRecord> LastSearch;

    // Page control and the controls below it.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;     // "LowLevelCommand"
    QWidget* TabSheet2 = nullptr;     // "Manual Write"
    QWidget* TabSheet4 = nullptr;     // "RemoteControl"
    QWidget* TabSheet3 = nullptr;     // "ComPort"
    QPlainTextEdit* Memo2 = nullptr;  // status log
    QLabel* Label16 = nullptr;
    QLabel* Label15 = nullptr;
    QPushButton* BitBtn1 = nullptr;

    // "LowLevelCommand"
    QPushButton* Button7 = nullptr;   // "Erase A", no handler
    QPushButton* Button8 = nullptr;   // "Erase B", no handler
    QPushButton* Button9 = nullptr;   // "Erase AB", no handler
    QPushButton* Button10 = nullptr;  // "Initialize"
    QPushButton* Button11 = nullptr;  // "Dump"
    QPlainTextEdit* Memo3 = nullptr;  // buffer view
    QPushButton* Button13 = nullptr;  // "View Buffer"
    QLineEdit* Edit8 = nullptr;       // hidden: keys typed go to the unit
    QPushButton* Button12 = nullptr;  // hidden "send"

    // "Manual Write": "Frequency"
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;   // "LocalOutput(MHz)"
    QLabel* Label2 = nullptr;   // "Multiplier"
    QLabel* Label3 = nullptr;   // "STD(MHz)"
    QLabel* Label34 = nullptr;  // "R"
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit11 = nullptr;
    QLabel* Label5 = nullptr;   // "VCO(Hz)"
    QLabel* Label4 = nullptr;   // VcoHz
    QLabel* Label30 = nullptr;  // hidden "FFRAC"
    QLabel* Label29 = nullptr;  // hidden FFRAC value
    QLabel* Label31 = nullptr;  // hidden "N_INT"
    QLabel* Label32 = nullptr;  // hidden N_INT value

    // "RatioFinder"
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label6 = nullptr;        // "N"
    QLabel* Label9 = nullptr;        // VcoMHz
    QLabel* Label17 = nullptr;       // "Integer"
    QLabel* Label18 = nullptr;       // N_INT
    QLabel* Label19 = nullptr;       // "Fractional"
    QLabel* Label20 = nullptr;       // NFrac
    QLabel* Label7 = nullptr;        // "R Counter"
    QLabel* Label10 = nullptr;       // R
    QLabel* Label8 = nullptr;        // "PD(Hz)"
    QLabel* Label11 = nullptr;       // PdHz
    QPushButton* Button4 = nullptr;  // search
    QPushButton* Button5 = nullptr;  // "reset"

    // "Result"
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label12 = nullptr;    // "02h REFDIV"
    QLabel* Label13 = nullptr;    // "03h Integer"
    QLabel* Label14 = nullptr;    // "04h Fractional"
    QLabel* Label21 = nullptr;    // "09h CP"
    QLabel* Label22 = nullptr;    // "06h SD"
    QLineEdit* Edit4 = nullptr;   // RefReg
    QLineEdit* Edit6 = nullptr;   // IntgReg
    QLineEdit* Edit9 = nullptr;   // FracReg
    QLineEdit* Edit5 = nullptr;   // CPReg
    QLineEdit* Edit10 = nullptr;  // SDReg

    // "Charge Pump"
    QGroupBox* GroupBox4 = nullptr;
    TScrollBar* ScrollBar1 = nullptr;    // up current
    TScrollBar* ScrollBar2 = nullptr;    // down current
    TScrollBar* ScrollBar3 = nullptr;    // offset current
    TClickLabel* Label26 = nullptr;      // up current; a click is "Initialize" once the device link is wired
    QLabel* Label28 = nullptr;           // down current
    QLabel* Label33 = nullptr;           // offset current
    TRadioGroup* RadioGroup1 = nullptr;  // "CP add 3.5mA"
    TRadioGroup* RadioGroup3 = nullptr;  // "Offset Dir"

    // "SD"
    QGroupBox* GroupBox5 = nullptr;
    TRadioGroup* RadioGroup4 = nullptr;  // "seed select"
    TRadioGroup* RadioGroup5 = nullptr;  // "Modulator Mode"
    TRadioGroup* RadioGroup7 = nullptr;  // "fracbypas"
    TRadioGroup* RadioGroup6 = nullptr;  // "frac_rstb"

    TRadioGroup* RadioGroup2 = nullptr;  // "MemoryChannel"
    QPushButton* Button14 = nullptr;     // "set"
    QPushButton* Button6 = nullptr;      // "Write"
    QPushButton* Button15 = nullptr;     // "header file"

    // "RemoteControl": ch0..ch7
    QPushButton* Button3 = nullptr;
    QPushButton* Button16 = nullptr;
    QPushButton* Button17 = nullptr;
    QPushButton* Button18 = nullptr;
    QPushButton* Button19 = nullptr;
    QPushButton* Button20 = nullptr;
    QPushButton* Button21 = nullptr;
    QPushButton* Button22 = nullptr;

    // "ComPort"
    QComboBox* ComboBox1 = nullptr;   // port names
    QComboBox* ComboBox2 = nullptr;   // baud rates
    QPushButton* Button1 = nullptr;   // "Open"
    QPushButton* Button2 = nullptr;   // "Close"
    QLineEdit* Edit7 = nullptr;       // hidden: count of receive events
    QPlainTextEdit* Memo1 = nullptr;  // hidden, unused
    PortsLine* Ports = nullptr;       // what the selected port opens, and the "Ports…" button

    // "Channels": the table, "Open…", "Save…", "Reopen this table at next start"
    ChannelsPage* channelsPage = nullptr;
    // "Band": spur and error across a band for several R; its controls are made when first shown
    BandPage* bandPage = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

    // A slot that runs a handler under the general error report.
    template <class... Args>
    auto guarded(void (TForm1::*handler)(Args...)) {
        return [this, handler](Args... args) { runGuarded([&] { (this->*handler)(args...); }); };
    }

private:
    // What the device link shows (device::DeviceView, through LinkView).
    void appendStatusText(const QString& text);
    void appendStatusLine(const QString& line);
    void clearStatus();
    void showReceiveCount(const QString& text);
    void showBuffer(const QString& text);
    void enableOpen(bool on);
    void enableClose(bool on);
    void resumeClose();
    // The selected list items' texts ("" when none is selected).
    QString selectedItem(const QComboBox* box) const;

    std::unique_ptr<statuslog::StatusLog> statusLog_;  // Memo2's appends
    // The settings file as loaded, kept for the save (texts the operator left go back as read).
    std::unique_ptr<settings::SettingsFile> settingsFile_;
    std::unique_ptr<SettingControls> settingControls_;  // each key's control, looked up at the load

    // The controls from the layout's rows, each wired to its handler (Unit1_layout.cpp).
    void buildLayout();
    // The handlers no layout row carries.
    void wireHandlers();
    // The settings file's part of start-up: VTCONFIG.INI in the current directory into the controls.
    void LoadSettings();
    // The settings file's part of shutdown; throws settings::SaveError when the file cannot be written.
    void SaveSettings();

    // After the last search: its 03h and 04h words become the nearest word's (Unit1.cpp).
    void nearestWordForLastSearch();
    // The "Channels" page after the four of the layout, and its handlers wired.
    void buildChannelsPage();
    // The "Band" page after "Channels"; empty until first shown.
    void buildBandPage();
    // Shows the table as it is now on the "Channels" page.
    void showChannels();
    // Start-up: the header of the command line, else the table kept at the last close when the
    // operator chose to keep it. A failure is reported; the table then stays empty.
    void openStartTable();
    // Shutdown: when the operator chose to, the table goes to the state folder for the next
    // start. false when that failed and the operator does not want to close without it.
    bool keepTableForNextStart();
    // Whether the close may replace the kept table: it was opened at this start and is still as
    // it was then, or there is none; else the operator decides.
    bool mayReplaceKeptTable();

    // The channels that hold neither a "set" of this run nor what an opened file gave them,
    // ascending: "Write" would put zero words into the unit for them.
    std::vector<int> unsetChannels() const;
    // Whether an opened table may replace this one: no slot set in this run is lost that neither
    // a file nor the unit holds, or the operator says so.
    bool mayReplaceTable();
    // After the table went whole into a file: its slots count as kept; the status log names the file.
    void tableSaved(const std::string& shownName);

    std::string startHeader_;                         // from the command line
    std::unique_ptr<channels::KeptTable> keptTable_;  // where the table is kept, and whether it is this window's
};
