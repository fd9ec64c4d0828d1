// The "Channels" page of the window: the channel table shown as it is, opened from and saved to a
// register header, and kept for the next start when the operator asks for it. Added beside the
// four pages of the layout; nothing here changes what they do.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>

#include "channels/kept_table.h"
#include "channels/slot_words.h"
#include "common/notifier.h"
#include "files/paths.h"
#include "headerfile/header_file.h"
#include "text/shown.h"
#include "text/vt_error.h"
#include "ui/Unit1.h"
#include "ui/band_page.h"
#include "ui/channels_page.h"

namespace {

const char* const kCloseWithoutTable = "Close without keeping the channel table for the next start?";
const char* const kReplaceKeptTable = "Replace the kept channel table with the table now in the window?";

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// "ch0, ch3 were set in this run and have not been saved or written. Replace the table anyway?";
// "set or refined" when "Nearest word" refined one of them.
QString replaceUnkeptQuestion(const std::vector<int>& channels, const planning::SlotRecords& records) {
    QStringList names;
    bool refined = false;
    for (int c : channels) {
        names << QStringLiteral("ch%1").arg(c);
        refined = refined || !records[static_cast<size_t>(c)].refinedTime.empty();
    }
    const QString what = refined ? QStringLiteral("set or refined") : QStringLiteral("set");
    return names.join(QStringLiteral(", ")) +
           (channels.size() == 1 ? QStringLiteral(" was %1 in this run and has not been saved or written.")
                                 : QStringLiteral(" were %1 in this run and have not been saved or written."))
               .arg(what) +
           QStringLiteral(" Replace the table anyway?");
}

}  // namespace

void TForm1::buildChannelsPage() {
    channelsPage = new ChannelsPage;
    channelsPage->setObjectName("ChannelsPage");
    PageControl1->addTab(channelsPage, QStringLiteral("Channels"));
    connect(channelsPage->openButton, &QPushButton::clicked, this, guarded(&TForm1::OpenChannelsClick));
    connect(channelsPage->saveButton, &QPushButton::clicked, this, guarded(&TForm1::SaveChannelsClick));
    connect(channelsPage->nearestButton, &QPushButton::clicked, this, guarded(&TForm1::NearestWordClick));
    showChannels();
}

std::vector<int> TForm1::unsetChannels() const {
    std::vector<int> unset;
    for (size_t c = 0; c < ChannelRecords.size(); ++c)
        if (ChannelRecords[c].source == planning::SlotRecord::Source::None) unset.push_back(static_cast<int>(c));
    return unset;
}

void TForm1::showChannels() {
    channelsPage->showTable(ChannelTable, ChannelRecords, DecimalSeparator);
    if (bandPage) bandPage->tableChanged();
}

bool TForm1::mayReplaceTable() {
    const std::vector<int> unkept = planning::unkeptSlots(ChannelRecords);
    return unkept.empty() || notifier().ask(replaceUnkeptQuestion(unkept, ChannelRecords));
}

void TForm1::tableSaved(const std::string& shownName) {
    planning::markSaved(ChannelRecords);
    const std::string name = QFile::decodeName(shownName.c_str()).toStdString();
    appendStatusLine(QStringLiteral("Channel table written to ") + QString::fromStdString(text::shown(name)) +
                     QLatin1Char('.'));
}

void TForm1::openChannels(const std::string& path) {
    takeTable(headerfile::readHeaderFile(path), path);  // whole, or it throws
}

void TForm1::takeTable(planning::ChannelTable opened, const std::string& path) {
    if (!mayReplaceTable()) return;
    ChannelTable = std::move(opened);
    // A slot the file leaves empty looks like one never set; only what the file holds is from it.
    const std::string name = QFileInfo(QFile::decodeName(path.c_str())).fileName().toStdString();
    for (size_t i = 0; i < ChannelRecords.size(); ++i) {
        const planning::ChannelTable& t = ChannelTable;
        const bool held = !t.ChannelDescription[i].empty() || (t.RefReg[i] | t.IntgReg[i] | t.FracReg[i] | t.CPReg[i]);
        ChannelRecords[i] =
            held ? channels::openedRecord(t, static_cast<int>(i), name, DecimalSeparator) : planning::SlotRecord{};
    }
    showChannels();
}

// Each selected slot refined, left alone or refused, as the status log says; the description
// quotes the same inputs, so it stays.
void TForm1::NearestWordClick() {
    for (const int c : channelsPage->selectedChannels()) {
        const auto i = static_cast<size_t>(c);
        const channels::Refinement r = channels::refineSlot(ChannelTable, c, ChannelRecords[i], DecimalSeparator);
        appendStatusLine(QString::fromStdString(r.text));
        if (r.outcome != channels::Refinement::Outcome::Refined) continue;
        ChannelTable.IntgReg[i] = r.IntgReg;
        ChannelTable.FracReg[i] = r.FracReg;
        ChannelRecords[i] = planning::afterRefine(ChannelRecords[i], *r.errorBeforeHz, clockTime());
    }
    showChannels();
}

void TForm1::OpenChannelsClick() {
    const QString path =
        channelsPage->chooseFile(FileDialogKind::Open, QString::fromStdString(files::currentDirectory()));
    if (!path.isEmpty()) openChannels(localPath(path));
}

// The same bytes and the same safe replace as "header file"; only the name is the operator's.
void TForm1::SaveChannelsClick() {
    const std::string suggestion =
        files::joinPath(files::currentDirectory(), headerfile::headerFileName(HeaderClock.now()));
    const QString path = channelsPage->chooseFile(FileDialogKind::Save, QFile::decodeName(suggestion.c_str()));
    if (path.isEmpty()) return;
    headerfile::writeHeaderFile(localPath(path), ChannelTable, HeaderClock);
    tableSaved(localPath(path));
}

void TForm1::openStartTable() {
    // Told at the start: the line the close writes goes with the window.
    const bool ticked = channelsPage->reopenBox->isChecked();
    const QString noPlace = ticked ? QString::fromStdString(keptTable_->lookAtFolder()) : QString();
    if (!noPlace.isEmpty()) appendStatusLine(noPlace);
    if (!startHeader_.empty()) {
        runGuarded([&] { openChannels(startHeader_); });
        return;
    }
    if (!ticked || !noPlace.isEmpty()) return;
    runGuarded([&] {
        // Nothing kept yet (ticked but never closed since, or removed): nothing to say.
        if (std::optional<planning::ChannelTable> kept = keptTable_->read())
            takeTable(std::move(*kept), channels::KeptTable::path());
    });
}

bool TForm1::mayReplaceKeptTable() {
    return keptTable_->replaceableWithoutAsking() || notifier().ask(QString::fromUtf8(kReplaceKeptTable));
}

bool TForm1::keepTableForNextStart() {
    if (!channelsPage->reopenBox->isChecked()) return true;
    try {
        // No place, or none of the operator's own: said in the log, as the window closes anyway.
        if (const std::string notKept = keptTable_->prepareFolder(); !notKept.empty()) {
            appendStatusLine(QString::fromStdString(notKept));
            return true;
        }
        if (!mayReplaceKeptTable()) return true;
        keptTable_->write(ChannelTable, HeaderClock);
        return true;
    } catch (const text::VtError&) {
        reportException(std::current_exception());
        return notifier().ask(QString::fromUtf8(kCloseWithoutTable));
    }
}
