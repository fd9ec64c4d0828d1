#include "ui/channels_page.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "planning/channel_meaning.h"
#include "ui/fonts.h"

namespace {

enum Column { Description, RefReg, IntgReg, FracReg, CPReg, R, NInt, NFrac, N, Synthesizer, Origin, kColumns };

struct ColumnText {
    const char* caption;  // also what a screen reader names the column by
    const char* description;
    int width;  // 0: as wide as the texts in it
};

// clang-format off
constexpr std::array<ColumnText, kColumns> kColumnTexts{{
    {"Description", "The description stored with the channel", 136},
    {"RefReg", "Register 02h word (REFDIV), hexadecimal", 0},
    {"IntgReg", "Register 03h word (Integer), hexadecimal", 0},
    {"FracReg", "Register 04h word (Fractional), hexadecimal", 0},
    {"CPReg", "Register 09h word (CP), hexadecimal", 0},
    {"R", "Reference divider, from the 02h word", 0},
    {"N_INT", "Integer division ratio, from the 03h word", 0},
    {"NFrac", "Fractional division ratio in steps of 2^-24, from the 04h word", 0},
    {"N", "Division ratio N_INT + NFrac / 2^24", 0},
    {"Synthesizer (Hz)", "Synthesizer frequency 2 x PD x N, with PD from the description", 0},
    {"From", "Where the channel came from: set, or the name of the file opened", 0},
}};
// clang-format on

QString dialogOpen(FileDialogKind kind, const QString& suggestion, QWidget* parent) {
    const QString headers = QStringLiteral("Header files (*.h)");
    if (kind == FileDialogKind::Open)
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Open…"), suggestion,
                                            headers + QStringLiteral(";;All files (*)"));
    QFileDialog dialog(parent, QStringLiteral("Save…"), suggestion, headers);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("h"));
    dialog.selectFile(suggestion);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QTableWidgetItem* cell(const std::string& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

}  // namespace

ChannelsPage::ChannelsPage(QWidget* parent) : QWidget(parent) {
    buildTable();
    openButton = new QPushButton(QStringLiteral("Open…"), this);
    openButton->setObjectName("OpenChannelsButton");
    openButton->setGeometry(440, 304, 75, 25);
    saveButton = new QPushButton(QStringLiteral("Save…"), this);
    saveButton->setObjectName("SaveChannelsButton");
    saveButton->setGeometry(528, 304, 75, 25);
    for (QPushButton* b : {openButton, saveButton}) b->setAutoDefault(false);
    reopenBox = new QCheckBox(QStringLiteral("Reopen this table at next start"), this);
    reopenBox->setObjectName("ReopenTableCheckBox");
    reopenBox->setGeometry(8, 306, 360, 20);
    setTabOrder(openButton, saveButton);
    setTabOrder(saveButton, reopenBox);
    chooseFile = [this](FileDialogKind kind, const QString& suggestion) { return dialogOpen(kind, suggestion, this); };
}

void ChannelsPage::buildTable() {
    table = new QTableWidget(planning::ChannelTable::kChannels, kColumns, this);
    table->setObjectName("ChannelsTable");
    table->setAccessibleName(QStringLiteral("Channels"));
    table->setGeometry(8, 8, 610, 288);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    table->setTabKeyNavigation(false);  // Tab leaves the table; the arrow keys move between cells
    for (int c = 0; c < kColumns; ++c) {
        const ColumnText& t = kColumnTexts[static_cast<size_t>(c)];
        auto* header = new QTableWidgetItem(QString::fromUtf8(t.caption));
        header->setData(Qt::AccessibleDescriptionRole, QString::fromUtf8(t.description));
        header->setToolTip(QString::fromUtf8(t.description));
        table->setHorizontalHeaderItem(c, header);
    }
    for (int r = 0; r < planning::ChannelTable::kChannels; ++r) {
        auto* header = new QTableWidgetItem(QStringLiteral("ch%1").arg(r));
        table->setVerticalHeaderItem(r, header);
    }
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
}

void ChannelsPage::showTable(const planning::ChannelTable& t, const Origins& origins, char decimalSeparator) {
    const QFont fixed = fixedPitchFont();
    constexpr Qt::Alignment kLeft = Qt::AlignLeft, kRight = Qt::AlignRight;
    for (int r = 0; r < planning::ChannelTable::kChannels; ++r) {
        const planning::ChannelRow row = planning::channelRow(t, r, decimalSeparator);
        const std::array<std::pair<const std::string*, Qt::Alignment>, Origin> texts{{
            {&row.description, kLeft},
            {&row.RefReg, kLeft},
            {&row.IntgReg, kLeft},
            {&row.FracReg, kLeft},
            {&row.CPReg, kLeft},
            {&row.R, kRight},
            {&row.N_INT, kRight},
            {&row.NFrac, kRight},
            {&row.N, kRight},
            {&row.synthesizerHz, kRight},
        }};
        for (int c = 0; c < Origin; ++c) {
            QTableWidgetItem* item = cell(*texts[static_cast<size_t>(c)].first, texts[static_cast<size_t>(c)].second);
            if (c >= RefReg && c <= CPReg) item->setFont(fixed);
            if (c == Description) item->setToolTip(item->text());
            table->setItem(r, c, item);
        }
        auto* origin = cell({}, kLeft);
        origin->setText(origins[static_cast<size_t>(r)]);
        table->setItem(r, Origin, origin);
    }
    // The description is long: the start names the channel, the tooltip and a wider column the rest.
    for (int c = 0; c < kColumns; ++c) {
        int width = kColumnTexts[static_cast<size_t>(c)].width;
        if (width == 0) {
            table->resizeColumnToContents(c);
            width = table->columnWidth(c) + 6;  // room between the fixed-pitch words
        }
        table->setColumnWidth(c, width);
    }
}
