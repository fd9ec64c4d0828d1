#include "ui/Unit1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QTimer>
#include <ctime>

#include "channels/kept_table.h"
#include "common/notifier.h"
#include "device/device_link.h"
#include "device/device_view.h"
#include "device/rs232c_port.h"
#include "files/paths.h"
#include "headerfile/header_file.h"
#include "planning/nearest_word.h"
#include "planning/number_format.h"
#include "planning/plan.h"
#include "planning/word_figures.h"
#include "protocol/unit_protocol.h"
#include "serial/rs232c.h"
#include "settings/settings_file.h"
#include "text/cp932.h"
#include "text/decimal_separator.h"
#include "text/vt_error.h"
#include "ui/click_label.h"
#include "ui/event_hook.h"
#include "ui/ports_line.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/setting_controls.h"
#include "ui/start_options.h"
#include "ui/status_log.h"
#include "ui/value_label.h"

namespace {

std::string textOf(const QLabel* l) { return l->text().toStdString(); }
std::string textOf(const QLineEdit* e) { return e->text().toStdString(); }
QString qs(const std::string& s) { return QString::fromStdString(s); }

const char* const kCloseWithoutSaving = "設定を保存せずに終了しますか?";

// "ch0, ch4 have not been set and will be written as zero. Write anyway?"
QString unsetChannelsQuestion(const std::vector<int>& channels) {
    QStringList names;
    for (int c : channels) names << QStringLiteral("ch%1").arg(c);
    return names.join(QStringLiteral(", ")) +
           (channels.size() == 1 ? QStringLiteral(" has") : QStringLiteral(" have")) +
           QStringLiteral(" not been set and will be written as zero. Write anyway?");
}

}  // namespace

// The link's texts are UTF-8; the window's controls take them here.
class TForm1::LinkView final : public device::DeviceView {
public:
    explicit LinkView(TForm1& form) : form_(form) {}
    void appendStatusText(const std::string& text) override { form_.appendStatusText(qs(text)); }
    void appendStatusLine(const std::string& line) override { form_.appendStatusLine(qs(line)); }
    void clearStatus() override { form_.clearStatus(); }
    void showReceiveCount(const std::string& count) override { form_.showReceiveCount(qs(count)); }
    void showBuffer(const std::string& text) override { form_.showBuffer(qs(text)); }
    void enableOpen(bool on) override { form_.enableOpen(on); }
    void enableClose(bool on) override { form_.enableClose(on); }
    void resumeClose() override { form_.resumeClose(); }

private:
    TForm1& form_;
};

struct TForm1::Connection {
    explicit Connection(TForm1& form) : view(form), link(port, view) {}
    LinkView view;
    Trs232c component;
    device::Rs232cPort port{component};
    device::DeviceLink link;
};

TForm1::TForm1(QWidget* parent) : TForm1(StartOptions{}, parent) {}

TForm1::TForm1(StartOptions start, QWidget* parent)
    : QWidget(parent),
      DecimalSeparator(text::localeDecimalSeparator()),
      HeaderClock(headerfile::systemExportClock()),
      connection_(std::make_unique<Connection>(*this)),
      rs232c1(connection_->component),
      Link(connection_->link),
      startHeader_(std::move(start.headerFile)),
      keptTable_(std::make_unique<channels::KeptTable>()) {
    buildLayout();
    buildChannelsPage();
    buildBandPage();
    statusLog_ = std::make_unique<statuslog::StatusLog>(*Memo2);
    Ports = new PortsLine(*TabSheet3, *ComboBox1, this);
    wireHandlers();
    FormCreate();
}

// The port closes while the link and its handlers are still whole.
TForm1::~TForm1() { rs232c1.Close(); }

// What no layout row carries: the close button, the keys typed in Edit8, the serial component.
void TForm1::wireHandlers() {
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);

    // The key goes to the unit and then, as typed, into Edit8 as well.
    new EventHook(Edit8, QEvent::KeyPress, [this](QEvent* event) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        guarded (&TForm1::Edit8KeyPress)(enter ? QStringLiteral("\r") : key->text());
    });

    rs232c1.setrxtimeout(device::kTransferLimitMs);
    rs232c1.settxtimeout(device::kTransferLimitMs);
    rs232c1.OnRXCHAR = [this](Trs232c* s) { rs232c1RXCHAR(s); };
    rs232c1.OnOpen = [this](Trs232c* s) { rs232c1Open(s); };
    rs232c1.OnClose = [this](Trs232c* s) { rs232c1Close(s); };
    rs232c1.OnPACKET = [this](Trs232c* s) { rs232c1PACKET(s); };
}

void TForm1::FormCreate() {
    CaptionInit();
    Memo3->clear();
    LoadSettings();
    CaptionInit();
    appendStatusLine(QStringLiteral("Welcome to Vantorix Configurator."));
    openStartTable();
    Link.connect(selectedItem(ComboBox2).toStdString(), selectedItem(ComboBox1).toStdString(), false);
}

bool TForm1::FormClose() {
    try {
        SaveSettings();
    } catch (const settings::SaveError&) {
        // A save that can never succeed (a directory that stays read-only) must not trap the operator.
        reportException(std::current_exception());
        if (!notifier().ask(QString::fromUtf8(kCloseWithoutSaving))) return false;
    }
    if (!keepTableForNextStart()) return false;
    rs232c1.Close();
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A command waiting for the unit is still on the stack: let it unwind first; the link asks
    // for the close again (resumeClose) once it has.
    if (Link.deferClose()) {
        event->ignore();
        return;
    }
    bool mayClose = false;
    runGuarded([&] { mayClose = FormClose(); });
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

// Each key's value goes into the control named for its key, and back. The controls are looked up once;
// a key without its control is reported and keeps the file's value.
void TForm1::LoadSettings() {
    settingControls_ = std::make_unique<SettingControls>(*this, keyControls(settings::settingKeys()));
    if (const QStringList& problems = settingControls_->problems(); !problems.isEmpty())
        notifier().showError(QString::fromStdString(text::withFullStop(problems.join('\n').toStdString())));
    // Setting a control here runs none of its handlers; the reset after the load refreshes the labels.
    settingsFile_ = std::make_unique<settings::SettingsFile>(settings::settingsPath());
    settingControls_->load(settingsFile_->values());
}

void TForm1::SaveSettings() {
    settings::SettingsValues v = settingsFile_->values();
    settingControls_->save(v);
    settingsFile_->save(v);
}

// --- Ratio finder -----------------------------------------------------------------------------

void TForm1::CaptionInit() {
    clearStatus();
    Button4->setText(QStringLiteral("search"));
    for (QLabel* l : {Label4, Label11, Label9, Label10, Label18, Label20}) setValueText(*l, QStringLiteral("  "));
    Button4->setEnabled(true);
    Button5->setEnabled(true);
    for (QLineEdit* e : {Edit4, Edit5, Edit6, Edit9, Edit10}) e->clear();
    RadioGroup2->setEnabled(true);
    ScrollBar1Scroll(ScrollBar1->value());
    ScrollBar2Scroll(ScrollBar2->value());
    ScrollBar3Scroll(ScrollBar3->value());
}

void TForm1::Button4Click() {
    clearStatus();
    planning::PlanInputs in;
    in.localOutput = textOf(Edit1);
    in.multiplier = textOf(Edit2);
    in.std = textOf(Edit3);
    in.r = textOf(Edit11);
    in.decimalSeparator = DecimalSeparator;
    const planning::FrequencyPlan plan = planning::findRatios(in);

    const planning::PlanLabels l = planning::planLabels(plan, DecimalSeparator);
    setValueText(*Label4, qs(l.vcoHz));
    setValueText(*Label11, qs(l.pdHz));
    setValueText(*Label9, qs(l.vcoMHz));
    setValueText(*Label10, qs(l.r));
    setValueText(*Label18, qs(l.nInt));
    setValueText(*Label20, qs(l.nFrac));
    Label29->setText(qs(l.fFrac));
    Label32->setText(qs(l.nInt));

    // An encoding that fails half way leaves words that no one search made.
    LastSearch.reset();
    const planning::SearchRecord search{in, chargePumpSettings(), sdSettings(), plan};
    CalcPLLReg();
    LastSearch = search;

    Edit4->setText(qs(planning::hex8(Words.RefReg)));
    Edit6->setText(qs(planning::hex8(Words.IntgReg)));
    Edit9->setText(qs(planning::hex8(Words.FracReg)));
    Edit5->setText(qs(planning::hex8(Words.CPReg)));
    Edit10->setText(qs(planning::hex8(Words.SDReg)));
}

// The Band page's "Use nearest word", after the search of the point: the 03h and 04h words become
// those of the nearest word for the same inputs, with the labels of the ratios they hold; the
// status log gives both errors. The search itself, and "search" pressed again, stay the window's.
void TForm1::nearestWordForLastSearch() {
    if (!LastSearch) return;
    planning::SearchRecord s = *LastSearch;
    const planning::PlannedChannel nearest = planning::planNearestChannel({s.inputs, s.cp, s.sd});
    const auto before = planning::figuresOf(s.inputs, s.plan.Multiplier, Words);
    Words.IntgReg = nearest.words.IntgReg;
    Words.FracReg = nearest.words.FracReg;
    const planning::PlanLabels l = planning::planLabels(nearest.plan, DecimalSeparator);
    setValueText(*Label18, qs(l.nInt));
    setValueText(*Label20, qs(l.nFrac));
    Label29->setText(qs(l.fFrac));
    Label32->setText(qs(l.nInt));
    Edit6->setText(qs(planning::hex8(Words.IntgReg)));
    Edit9->setText(qs(planning::hex8(Words.FracReg)));
    s.plan = nearest.plan;
    s.search = planning::Search::Nearest;
    LastSearch = s;
    std::string line = "Nearest word: N_INT " + l.nInt + ", NFrac " + l.nFrac + ", error ";
    if (before && before->errorHz) line += planning::hzText(*before->errorHz, DecimalSeparator) + " Hz -> ";
    appendStatusLine(qs(line + planning::hzText(*nearest.figures->errorHz, DecimalSeparator) + " Hz."));
}

void TForm1::Button5Click() { CaptionInit(); }
void TForm1::Edit1KeyUp() { CaptionInit(); }
void TForm1::Edit2KeyUp() { CaptionInit(); }
void TForm1::Edit3KeyUp() { CaptionInit(); }

// --- Register words -----------------------------------------------------------------------------

planning::ChargePumpSettings TForm1::chargePumpSettings() const {
    return {.up = ScrollBar1->value(),
            .down = ScrollBar2->value(),
            .offset = ScrollBar3->value(),
            .offsetDir = RadioGroup3->ItemIndex(),
            .hiK = RadioGroup1->ItemIndex()};
}

planning::SdSettings TForm1::sdSettings() const {
    return {.seed = RadioGroup4->ItemIndex(),
            .mode = RadioGroup5->ItemIndex(),
            .fracRstb = RadioGroup6->ItemIndex(),
            .fracBypass = RadioGroup7->ItemIndex()};
}

void TForm1::CalcPLLReg() {
    planning::CalcPLLReg(chargePumpSettings(), sdSettings(), textOf(Label10), textOf(Label18), textOf(Label20), Words);
}

void TForm1::ScrollBar1Scroll(int ScrollPos) {
    Label26->setText(qs(planning::currentLabel(ScrollPos, planning::kUpDownMicroampsPerStep)));
}

void TForm1::ScrollBar2Scroll(int ScrollPos) {
    Label28->setText(qs(planning::currentLabel(ScrollPos, planning::kUpDownMicroampsPerStep)));
}

void TForm1::ScrollBar3Scroll(int ScrollPos) {
    Label33->setText(qs(planning::currentLabel(ScrollPos, planning::kOffsetMicroampsPerStep)));
}

// --- Memory channels ----------------------------------------------------------------------------

std::string TForm1::clockTime() const {
    const std::tm t = HeaderClock.now();
    char text[16];
    return std::string(text, std::strftime(text, sizeof text, "%H:%M", &t));
}

void TForm1::Button14Click() {
    const int channel = RadioGroup2->ItemIndex();
    if (channel < 0 || channel >= planning::ChannelTable::kChannels) return;  // no channel selected

    const planning::DescriptionInputs d{textOf(Edit1), textOf(Edit3), textOf(Label11), chargePumpSettings(),
                                        sdSettings()};
    const std::string description = planning::ChannelDescription(d);
    // The table keeps the description as the header file holds it: 8-bit code page 932.
    std::string bytes = text::utf8ToCp932(description);
    // A slot that no header could hold would make every later export and the kept table a file
    // this program refuses to open; the slot keeps what it had.
    if (const std::string why = planning::descriptionProblem(bytes); !why.empty()) {
        std::string refusal = "ch";
        refusal += std::to_string(channel);
        refusal += " is not set: " + why + "; LocalOutput and STD are quoted in it as typed";
        throw text::VtError(refusal);
    }
    ChannelTable.set(channel, Words, std::move(bytes));
    planning::SlotRecord& record = ChannelRecords[static_cast<size_t>(channel)];
    record = planning::afterSet(record, LastSearch, description, clockTime());
    showChannels();
}

// The new header replaces a file of the same name only once it is complete, so a failed export
// leaves neither a partial header nor a damaged earlier one. The name is easy to foresee: a link
// planted under it is replaced, never written through, and another user's file under it in a
// folder others may write to is left alone.
void TForm1::Button15Click() {
    const std::string name = headerfile::headerFileName(HeaderClock.now());
    headerfile::writeHeaderFile(files::joinPath(files::currentDirectory(), name), ChannelTable, HeaderClock);
    tableSaved(name);
}

// --- device link ---------------------------------------------------------------------------

QString TForm1::selectedItem(const QComboBox* box) const {
    const int i = box->currentIndex();
    return i >= 0 ? box->itemText(i) : QString();
}

void TForm1::Button1Click() {
    // Only the selected items count; text typed into the boxes gives way to them, so the boxes
    // show the port and the rate being opened.
    for (QComboBox* box : {ComboBox1, ComboBox2}) box->setEditText(selectedItem(box));
    Link.connect(selectedItem(ComboBox2).toStdString(), selectedItem(ComboBox1).toStdString(), true);
}
void TForm1::Button2Click() { Link.disconnect(); }
void TForm1::rs232c1Open(Trs232c*) { Link.onOpen(); }
void TForm1::rs232c1Close(Trs232c*) { Link.onClose(); }
void TForm1::rs232c1RXCHAR(Trs232c*) { Link.onRxChar(); }
void TForm1::rs232c1PACKET(Trs232c*) { Link.onPacket(); }
void TForm1::Button10Click() { Link.simpleCommand(protocol::kInitialize); }
void TForm1::Button3Click() { Link.simpleCommand(protocol::channelCommand(0)); }
void TForm1::Button16Click() { Link.simpleCommand(protocol::channelCommand(1)); }
void TForm1::Button17Click() { Link.simpleCommand(protocol::channelCommand(2)); }
void TForm1::Button18Click() { Link.simpleCommand(protocol::channelCommand(3)); }
void TForm1::Button19Click() { Link.simpleCommand(protocol::channelCommand(4)); }
void TForm1::Button20Click() { Link.simpleCommand(protocol::channelCommand(5)); }
void TForm1::Button21Click() { Link.simpleCommand(protocol::channelCommand(6)); }
void TForm1::Button22Click() { Link.simpleCommand(protocol::channelCommand(7)); }
void TForm1::Button11Click() { Link.dump(); }
// The image always carries all eight channels; the unit keeps no copy of one it is sent zero for.
void TForm1::Button6Click() {
    const std::vector<int> unset = unsetChannels();
    if (!unset.empty() && !notifier().ask(unsetChannelsQuestion(unset))) return;
    // The table may change while the write waits; only what was sent counts as written.
    const planning::ChannelTable sent = ChannelTable;
    if (Link.write(sent) != device::Outcome::Reply) return;
    planning::markWritten(ChannelRecords, sent, ChannelTable, clockTime(), rs232c1.portname());
    showChannels();
}
void TForm1::Button13Click() { Link.viewBuffer(); }
void TForm1::Edit8KeyPress(const QString& Key) { Link.sendKey(Key.toStdString()); }
void TForm1::Button12Click() { Link.sendReturn(); }

void TForm1::appendStatusText(const QString& text) { statusLog_->appendRunOn(text); }
void TForm1::appendStatusLine(const QString& line) { statusLog_->appendLine(line); }
void TForm1::clearStatus() { statusLog_->clear(); }

void TForm1::showReceiveCount(const QString& text) { Edit7->setText(text); }
void TForm1::showBuffer(const QString& text) {
    Memo3->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
void TForm1::enableOpen(bool on) { Button1->setEnabled(on); }
void TForm1::enableClose(bool on) { Button2->setEnabled(on); }
void TForm1::resumeClose() {
    QTimer::singleShot(0, this, [this] { close(); });
}
