#pragma once
// The "Channels" page: the channel table as an engineer checks it, one row per channel: the output
// asked for, how far the words' output lies from it, the nearer of its two spurs and the slot's
// status, with the words and what they mean further right; the selected row in full in a
// details line under the table. Buttons open and save the table as a register header and refine
// the selected slots to the nearest word; the operator chooses whether the table is kept for the
// next start and how near a spur is marked.
// The page only shows; the window acts.
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "planning/channel_table.h"
#include "planning/slot_record.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

enum class FileDialogKind { Open, Save };

class ChannelsPage : public QWidget {
    Q_OBJECT
public:
    // Asks for a header's name; suggestion: where a save would go. "" when the operator cancels.
    using FileChooser = std::function<QString(FileDialogKind, const QString& suggestion)>;

    explicit ChannelsPage(QWidget* parent = nullptr);

    // Every row from the table and what the window knows of each slot.
    void showTable(const planning::ChannelTable& table, const planning::SlotRecords& records, char decimalSeparator);

    // The rows selected (one or several), ascending; the current row when none is.
    std::vector<int> selectedChannels() const;

    // Columns, left to right; the first four fit the page without scrolling.
    enum Column {
        Output,
        Error,
        Spur,
        Status,
        RefReg,
        IntgReg,
        FracReg,
        CPReg,
        R,
        NInt,
        NFrac,
        N,
        Synthesizer,
        Multiplier,
        Description,
        kColumns
    };

    QTableWidget* table = nullptr;
    QPlainTextEdit* details = nullptr;     // the selected row in full
    QPushButton* nearestButton = nullptr;  // "Nearest word": the selected slots' words refined
    QPushButton* openButton = nullptr;     // "Open…"
    QPushButton* saveButton = nullptr;     // "Save…"
    QCheckBox* reopenBox = nullptr;        // "Reopen this table at next start"
    QLabel* spurWarnCaption = nullptr;     // "Spur warning below (Hz)"
    QSpinBox* spurWarnBox = nullptr;       // the threshold: a spur nearer than this is marked "!"
    FileChooser chooseFile;                // the file dialogs; a test answers in their place

private:
    void buildTable();
    void buildControls();
    void showRows();
    void showDetails();

    // What showTable was given last: the spin box and the selection show it again.
    planning::ChannelTable table_;
    planning::SlotRecords records_;
    char decimalSeparator_ = '.';
};
