#include "ui/channels_page.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <climits>

#include "channels/channel_meaning.h"
#include "channels/slot_details.h"
#include "channels/slot_figures.h"
#include "channels/slot_status.h"
#include "planning/spur.h"
#include "ui/fonts.h"

namespace {

using Page = ChannelsPage;

struct ColumnText {
    const char* caption;  // also what a screen reader names the column by
    const char* description;
    int widest;  // the most the column takes; the first four together fit the page. 0: as its texts
};

// clang-format off
constexpr std::array<ColumnText, Page::kColumns> kColumnTexts{{
    {"Output (MHz)", "The output frequency asked for, as the description quotes it", 90},
    {"Error (Hz)", "The words' output minus the output asked for; \"derived\" when the multiplier was worked out "
                   "because the slot does not record it", 170},
    {"Spur offset (Hz)", "How far from the carrier the nearer of two spurs sits, the fractional divider's or the "
                         "output's beat with a harmonic of PD; ! when nearer than the warning threshold; none "
                         "without either", 120},
    {"Status", "not set, set at a time, refined to the nearest word at a time, from a file (a nearest word or "
               "not), stale, written at a time through a port, or changed since written", 176},
    {"RefReg", "Register 02h word (REFDIV), hexadecimal", 0},
    {"IntgReg", "Register 03h word (Integer), hexadecimal", 0},
    {"FracReg", "Register 04h word (Fractional), hexadecimal", 0},
    {"CPReg", "Register 09h word (CP), hexadecimal", 0},
    {"R", "Reference divider, from the 02h word", 0},
    {"N_INT", "Integer division ratio, from the 03h word", 0},
    {"NFrac", "Fractional division ratio in steps of 2^-24, from the 04h word", 0},
    {"N", "Division ratio N_INT + NFrac / 2^24", 0},
    {"Synthesizer (Hz)", "Synthesizer frequency 2 x PD x N, PD = STD / R with the STD the description quotes", 0},
    {"Multiplier", "The multiplier recorded at set, or derived for a slot opened from a file", 0},
    {"Description", "The description stored with the channel", 400},
}};
// clang-format on

constexpr int kLeft = 8, kWidth = 610, kControlsTop = 304, kNearestWidth = 95;
constexpr int kSpurWarnStepHz = 100'000;  // an arrow press; any value can be typed

const QString kDerived = QStringLiteral(
    "The slot does not record its multiplier: it is derived as the whole number nearest the output asked for "
    "divided by the synthesizer frequency");

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

// A cell shows text; a screen reader reads `spoken`, which an empty cell also has.
QTableWidgetItem* cell(const std::string& text, Qt::Alignment alignment, const QString& spoken = {}) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    const QString name = !spoken.isEmpty() ? spoken : text.empty() ? QStringLiteral("empty") : item->text();
    item->setData(Qt::AccessibleTextRole, name);
    return item;
}

}  // namespace

ChannelsPage::ChannelsPage(QWidget* parent) : QWidget(parent) {
    buildTable();
    buildControls();
    chooseFile = [this](FileDialogKind kind, const QString& suggestion) { return dialogOpen(kind, suggestion, this); };
}

void ChannelsPage::buildTable() {
    table = new QTableWidget(planning::ChannelTable::kChannels, kColumns, this);
    table->setObjectName("ChannelsTable");
    table->setAccessibleName(QStringLiteral("Channels"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);  // "Nearest word" takes several
    table->setWordWrap(false);
    table->setTabKeyNavigation(false);  // Tab leaves the table; the arrow keys move between cells
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int c = 0; c < kColumns; ++c) {
        const ColumnText& t = kColumnTexts[static_cast<size_t>(c)];
        auto* header = new QTableWidgetItem(QString::fromUtf8(t.caption));
        header->setData(Qt::AccessibleDescriptionRole, QString::fromUtf8(t.description));
        header->setToolTip(QString::fromUtf8(t.description));
        table->setHorizontalHeaderItem(c, header);
    }
    for (int r = 0; r < planning::ChannelTable::kChannels; ++r)
        table->setVerticalHeaderItem(r, new QTableWidgetItem(QStringLiteral("ch%1").arg(r)));
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    // Eight rows, the header and the scroll bar, nothing more: the details line takes the rest.
    const int frame = 2 * table->frameWidth();
    const int height = table->horizontalHeader()->sizeHint().height() +
                       planning::ChannelTable::kChannels * table->verticalHeader()->defaultSectionSize() +
                       table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table) + frame;
    table->setGeometry(kLeft, 8, kWidth, height);
    connect(table, &QTableWidget::currentCellChanged, this, [this] { showDetails(); });

    details = new QPlainTextEdit(this);
    details->setObjectName("ChannelDetails");
    details->setAccessibleName(QStringLiteral("Details of the selected channel"));
    details->setReadOnly(true);
    details->setTabChangesFocus(true);
    details->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // long lines wrap
    const int top = table->geometry().bottom() + 5;
    details->setGeometry(kLeft, top, kWidth - kNearestWidth - 8, kControlsTop - 5 - top);

    nearestButton = new QPushButton(QStringLiteral("Nearest word"), this);
    nearestButton->setObjectName("NearestWordButton");
    nearestButton->setGeometry(kLeft + kWidth - kNearestWidth, top, kNearestWidth, 25);
    nearestButton->setAutoDefault(false);
    nearestButton->setToolTip(
        QStringLiteral("The selected slots' words become the nearest words for the output, multiplier, STD and R "
                       "their descriptions quote"));
}

void ChannelsPage::buildControls() {
    reopenBox = new QCheckBox(QStringLiteral("Reopen this table at next start"), this);
    reopenBox->setObjectName("ReopenTableCheckBox");
    reopenBox->setGeometry(kLeft, kControlsTop + 2, reopenBox->sizeHint().width(), 20);

    spurWarnCaption = new QLabel(QStringLiteral("Spur warning below (Hz)"), this);
    spurWarnCaption->setObjectName("SpurWarnHzCaption");
    spurWarnCaption->setTextFormat(Qt::PlainText);
    const int captionLeft = reopenBox->geometry().right() + 16;
    spurWarnCaption->setGeometry(captionLeft, kControlsTop + 4, spurWarnCaption->sizeHint().width(), 18);
    spurWarnBox = new QSpinBox(this);
    spurWarnBox->setObjectName("SpurWarnHzBox");
    spurWarnBox->setRange(0, INT_MAX);
    spurWarnBox->setValue(static_cast<int>(planning::kDefaultSpurWarnHz));
    spurWarnBox->setSingleStep(kSpurWarnStepHz);
    spurWarnBox->setGeometry(spurWarnCaption->geometry().right() + 6, kControlsTop + 1, 92, 22);
    spurWarnCaption->setBuddy(spurWarnBox);
    spurWarnBox->setAccessibleName(spurWarnCaption->text());
    connect(spurWarnBox, &QSpinBox::valueChanged, this, [this] {
        showRows();
        showDetails();
    });

    openButton = new QPushButton(QStringLiteral("Open…"), this);
    openButton->setObjectName("OpenChannelsButton");
    openButton->setGeometry(440, kControlsTop, 75, 25);
    saveButton = new QPushButton(QStringLiteral("Save…"), this);
    saveButton->setObjectName("SaveChannelsButton");
    saveButton->setGeometry(528, kControlsTop, 75, 25);
    for (QPushButton* b : {openButton, saveButton}) b->setAutoDefault(false);
    // Left to right, top to bottom.
    setTabOrder(table, details);
    setTabOrder(details, nearestButton);
    setTabOrder(nearestButton, reopenBox);
    setTabOrder(reopenBox, spurWarnBox);
    setTabOrder(spurWarnBox, openButton);
    setTabOrder(openButton, saveButton);
}

void ChannelsPage::showTable(const planning::ChannelTable& t, const planning::SlotRecords& records,
                             char decimalSeparator) {
    table_ = t;
    records_ = records;
    decimalSeparator_ = decimalSeparator;
    showRows();
    if (table->currentRow() < 0) table->setCurrentCell(0, 0);
    showDetails();
}

std::vector<int> ChannelsPage::selectedChannels() const {
    std::vector<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty() && table->currentRow() >= 0) rows.push_back(table->currentRow());
    return rows;
}

void ChannelsPage::showRows() {
    const QFont fixed = fixedPitchFont();
    const int threshold = spurWarnBox->value();
    constexpr Qt::Alignment kLeftAligned = Qt::AlignLeft, kRight = Qt::AlignRight;
    for (int r = 0; r < planning::ChannelTable::kChannels; ++r) {
        const planning::SlotRecord& record = records_[static_cast<size_t>(r)];
        const channels::ChannelRow row = channels::channelRow(table_, r, decimalSeparator_);
        const channels::SlotFigures f = channels::slotFigures(
            table_, r, record.search ? std::optional(record.search->plan.Multiplier) : std::nullopt, threshold,
            decimalSeparator_);
        const std::string derived = f.multiplierDerived ? " (derived)" : "";
        const std::string spur = f.spurOffsetHz + (f.spurWarned ? " !" : "");
        const QString spurSpoken =
            f.spurWarned ? QString::fromStdString(f.spurOffsetHz) +
                               QStringLiteral(", nearer than the warning threshold of %1 Hz").arg(threshold)
                         : QString();
        const std::string multiplier = f.multiplier ? std::to_string(*f.multiplier) + derived : std::string();
        std::array<QTableWidgetItem*, kColumns> items{
            cell(f.outputMHz, kRight),
            cell(f.errorHz.empty() ? std::string() : f.errorHz + derived, kRight),
            cell(spur, kRight, spurSpoken),
            cell(channels::slotStatus(record), kLeftAligned),
            cell(row.RefReg, kLeftAligned),
            cell(row.IntgReg, kLeftAligned),
            cell(row.FracReg, kLeftAligned),
            cell(row.CPReg, kLeftAligned),
            cell(row.R, kRight),
            cell(row.N_INT, kRight),
            cell(row.NFrac, kRight),
            cell(row.N, kRight),
            cell(row.synthesizerHz, kRight),
            cell(multiplier, kRight),
            cell(row.description, kLeftAligned),
        };
        for (int c = RefReg; c <= CPReg; ++c) items[static_cast<size_t>(c)]->setFont(fixed);
        for (int c = 0; c < kColumns; ++c) {
            QTableWidgetItem* item = items[static_cast<size_t>(c)];
            if (c <= Status || c == Description) item->setToolTip(item->text());
            if ((c == Error || c == Multiplier) && f.multiplierDerived) item->setToolTip(kDerived);
            table->setItem(r, c, item);
        }
    }
    for (int c = 0; c < kColumns; ++c) {
        table->resizeColumnToContents(c);
        const int widest = kColumnTexts[static_cast<size_t>(c)].widest;
        const int width = table->columnWidth(c) + 6;  // room between the fixed-pitch words
        table->setColumnWidth(c, widest > 0 ? std::min(width, widest) : width);
    }
}

void ChannelsPage::showDetails() {
    const int r = table->currentRow();
    if (r < 0) {
        details->setPlainText(QStringLiteral("Select a channel to see it in full."));
        return;
    }
    details->setPlainText(QString::fromStdString(
        channels::slotDetails(table_, r, records_[static_cast<size_t>(r)], spurWarnBox->value(), decimalSeparator_)));
}
