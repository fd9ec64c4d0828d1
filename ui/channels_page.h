#pragma once
// The "Channels" page: the channel table as it is now, one row per channel, with what its words
// mean and where each slot came from; buttons to open and save the table as a register header,
// and the choice to keep it for the next start. The page only shows; the window acts.
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "planning/channel_table.h"

class QCheckBox;
class QPushButton;
class QTableWidget;

enum class FileDialogKind { Open, Save };

class ChannelsPage : public QWidget {
    Q_OBJECT
public:
    using Origins = std::array<QString, planning::ChannelTable::kChannels>;
    // Asks for a header's name; suggestion: where a save would go. "" when the operator cancels.
    using FileChooser = std::function<QString(FileDialogKind, const QString& suggestion)>;

    explicit ChannelsPage(QWidget* parent = nullptr);

    // Every row from the table; origins: "set", a file's name or "" per channel.
    void showTable(const planning::ChannelTable& table, const Origins& origins, char decimalSeparator);

    QTableWidget* table = nullptr;
    QPushButton* openButton = nullptr;  // "Open…"
    QPushButton* saveButton = nullptr;  // "Save…"
    QCheckBox* reopenBox = nullptr;     // "Reopen this table at next start"
    FileChooser chooseFile;             // the file dialogs; a test answers in their place

private:
    void buildTable();
};
