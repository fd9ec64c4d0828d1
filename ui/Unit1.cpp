#include "ui/Unit1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "common/notifier.h"
#include "text/cp932.h"
#include "planning/plan.h"
#include "planning/error_texts.h"
#include "protocol/unit_protocol.h"
#include "text/decimal_separator.h"
#include "ui/click_label.h"
#include "ui/files/atomic_file.h"
#include "ui/files/io_error.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/status_log.h"
#include "ui/settings/settings_file.h"

namespace {

std::string textOf(const QLabel* l) { return l->text().toStdString(); }
std::string textOf(const QLineEdit* e) { return e->text().toStdString(); }
QString qs(const std::string& s) { return QString::fromStdString(s); }

const char* const kCloseWithoutSaving = "設定を保存せずに終了しますか?";

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent), DecimalSeparator(text::localeDecimalSeparator()), HeaderClock(systemExportClock()) {
    buildLayout();
    statusLog_ = std::make_unique<statuslog::StatusLog>(*Memo2);
    wireHandlers();
    FormCreate();
}

// The port closes while the link and its handlers are still whole.
TForm1::~TForm1() { rs232c1.Close(); }

void TForm1::wireHandlers() {
    connect(Button4, &QPushButton::clicked, this, guarded(&TForm1::Button4Click));
    connect(Button5, &QPushButton::clicked, this, guarded(&TForm1::Button5Click));
    connect(Button14, &QPushButton::clicked, this, guarded(&TForm1::Button14Click));
    connect(Button15, &QPushButton::clicked, this, guarded(&TForm1::Button15Click));
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);

    for (QLineEdit* e : {Edit1, Edit2, Edit3}) e->installEventFilter(this);

    // A scroll is what the operator does to the bar (arrows, trough, keys, wheel, every step of
    // a drag); positions set by the program do not count. The label takes the position the bar
    // is moving to.
    const auto onScroll = [this](QScrollBar* bar, void (TForm1::*handler)(int)) {
        const auto run = guarded(handler);
        connect(bar, &QAbstractSlider::actionTriggered, this, [bar, run](int) { run(bar->sliderPosition()); });
        connect(bar, &QAbstractSlider::sliderMoved, this, run);
    };
    onScroll(ScrollBar1, &TForm1::ScrollBar1Scroll);
    onScroll(ScrollBar2, &TForm1::ScrollBar2Scroll);
    onScroll(ScrollBar3, &TForm1::ScrollBar3Scroll);

    // Device link.
    rs232c1.setrxtimeout(300);
    rs232c1.settxtimeout(300);
    rs232c1.OnRXCHAR = [this](Trs232c* s) { rs232c1RXCHAR(s); };
    rs232c1.OnOpen = [this](Trs232c* s) { rs232c1Open(s); };
    rs232c1.OnClose = [this](Trs232c* s) { rs232c1Close(s); };
    rs232c1.OnPACKET = [this](Trs232c* s) { rs232c1PACKET(s); };
    connect(Button1, &QPushButton::clicked, this, guarded(&TForm1::Button1Click));
    connect(Button2, &QPushButton::clicked, this, guarded(&TForm1::Button2Click));
    connect(Button10, &QPushButton::clicked, this, guarded(&TForm1::Button10Click));
    connect(Label26, &TClickLabel::clicked, this, guarded(&TForm1::Button10Click));
    connect(Button3, &QPushButton::clicked, this, guarded(&TForm1::Button3Click));
    connect(Button16, &QPushButton::clicked, this, guarded(&TForm1::Button16Click));
    connect(Button17, &QPushButton::clicked, this, guarded(&TForm1::Button17Click));
    connect(Button18, &QPushButton::clicked, this, guarded(&TForm1::Button18Click));
    connect(Button19, &QPushButton::clicked, this, guarded(&TForm1::Button19Click));
    connect(Button20, &QPushButton::clicked, this, guarded(&TForm1::Button20Click));
    connect(Button21, &QPushButton::clicked, this, guarded(&TForm1::Button21Click));
    connect(Button22, &QPushButton::clicked, this, guarded(&TForm1::Button22Click));
    connect(Button11, &QPushButton::clicked, this, guarded(&TForm1::Button11Click));
    connect(Button6, &QPushButton::clicked, this, guarded(&TForm1::Button6Click));
    connect(Button13, &QPushButton::clicked, this, guarded(&TForm1::Button13Click));
    connect(Button12, &QPushButton::clicked, this, guarded(&TForm1::Button12Click));
    Edit8->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == Edit8) {
        // The key goes to the unit and then, as typed, into Edit8 as well.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const QString typed = enter ? QStringLiteral("\r") : key->text();
        runGuarded([&] { Edit8KeyPress(typed); });
    }
    if (event->type() == QEvent::KeyRelease) {
        if (watched == Edit1) guarded(&TForm1::Edit1KeyUp)();
        else if (watched == Edit2) guarded(&TForm1::Edit2KeyUp)();
        else if (watched == Edit3) guarded(&TForm1::Edit3KeyUp)();
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::FormCreate() {
    CaptionInit();
    Memo3->clear();
    LoadSettings();
    CaptionInit();
    appendStatusLine(QStringLiteral("Welcome to Vantorix Configurator."));
    Link.connect(selectedItem(ComboBox2), selectedItem(ComboBox1), false);
}

bool TForm1::FormClose() {
    try {
        SaveSettings();
    } catch (const settings::SaveError&) {
        // A save that can never succeed (a directory that stays read-only) must not trap the operator.
        reportException(std::current_exception());
        if (!notifier().ask(QString::fromUtf8(kCloseWithoutSaving))) return false;
    }
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

void TForm1::LoadSettings() {
    // Setting a control here runs none of its handlers; the reset after the load refreshes the labels.
    settingsFile_ = std::make_unique<settings::SettingsFile>(settings::settingsPath());
    const settings::SettingsValues& v = settingsFile_->values();
    ComboBox1->setCurrentIndex(v.ComboBox1);
    ComboBox2->setCurrentIndex(v.ComboBox2);
    RadioGroup2->setItemIndex(v.RadioGroup2);
    Edit1->setText(qs(v.Edit1));
    Edit2->setText(qs(v.Edit2));
    Edit3->setText(qs(v.Edit3));
    ScrollBar1->setValue(v.ScrollBar1);
    ScrollBar2->setValue(v.ScrollBar2);
    ScrollBar3->setValue(v.ScrollBar3);
    RadioGroup4->setItemIndex(v.RadioGroup4);
    RadioGroup5->setItemIndex(v.RadioGroup5);
    RadioGroup6->setItemIndex(v.RadioGroup6);
    RadioGroup7->setItemIndex(v.RadioGroup7);
    Edit11->setText(qs(v.Edit11));
}

void TForm1::SaveSettings() {
    settings::SettingsValues v;
    v.ComboBox1 = ComboBox1->currentIndex();
    v.ComboBox2 = ComboBox2->currentIndex();
    v.RadioGroup2 = RadioGroup2->ItemIndex();
    v.Edit1 = textOf(Edit1);
    v.Edit2 = textOf(Edit2);
    v.Edit3 = textOf(Edit3);
    v.Edit11 = textOf(Edit11);
    v.ScrollBar1 = ScrollBar1->value();
    v.ScrollBar2 = ScrollBar2->value();
    v.ScrollBar3 = ScrollBar3->value();
    v.RadioGroup4 = RadioGroup4->ItemIndex();
    v.RadioGroup5 = RadioGroup5->ItemIndex();
    v.RadioGroup6 = RadioGroup6->ItemIndex();
    v.RadioGroup7 = RadioGroup7->ItemIndex();
    settingsFile_->save(v);
}

// --- Ratio finder -----------------------------------------------------------------------------

void TForm1::CaptionInit() {
    clearStatus();
    Button4->setText(QStringLiteral("search"));
    for (QLabel* l : {Label4, Label11, Label9, Label10, Label18, Label20}) l->setText(QStringLiteral("  "));
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
    Label4->setText(qs(l.Label4));
    Label11->setText(qs(l.Label11));
    Label9->setText(qs(l.Label9));
    Label10->setText(qs(l.Label10));
    Label18->setText(qs(l.Label18));
    Label20->setText(qs(l.Label20));
    Label29->setText(qs(l.Label29));
    Label32->setText(qs(l.Label32));

    CalcPLLReg();

    Edit4->setText(qs(planning::hex8(Words.RefReg)));
    Edit6->setText(qs(planning::hex8(Words.IntgReg)));
    Edit9->setText(qs(planning::hex8(Words.FracReg)));
    Edit5->setText(qs(planning::hex8(Words.CPReg)));
    Edit10->setText(qs(planning::hex8(Words.SDReg)));
}

void TForm1::Button5Click() { CaptionInit(); }
void TForm1::Edit1KeyUp() { CaptionInit(); }
void TForm1::Edit2KeyUp() { CaptionInit(); }
void TForm1::Edit3KeyUp() { CaptionInit(); }

// --- Register words -----------------------------------------------------------------------------

planning::ChargePumpSettings TForm1::chargePumpSettings() const {
    planning::ChargePumpSettings cp;
    cp.up = ScrollBar1->value();
    cp.down = ScrollBar2->value();
    cp.offset = ScrollBar3->value();
    cp.offsetDir = RadioGroup3->ItemIndex();
    cp.hiK = RadioGroup1->ItemIndex();
    return cp;
}

planning::SdSettings TForm1::sdSettings() const {
    planning::SdSettings sd;
    sd.seed = RadioGroup4->ItemIndex();
    sd.mode = RadioGroup5->ItemIndex();
    sd.fracRstb = RadioGroup6->ItemIndex();
    sd.fracBypass = RadioGroup7->ItemIndex();
    return sd;
}

void TForm1::CalcPLLReg() {
    planning::CalcPLLReg(chargePumpSettings(), sdSettings(), textOf(Label10), textOf(Label18), textOf(Label20),
                         Words);
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

void TForm1::Button14Click() {
    const int channel = RadioGroup2->ItemIndex();
    if (channel < 0 || channel >= planning::ChannelTable::kChannels) return;  // no channel selected

    const planning::ChargePumpSettings cp = chargePumpSettings();
    const planning::SdSettings sd = sdSettings();
    planning::DescriptionInputs d;
    d.edit1 = textOf(Edit1);
    d.edit3 = textOf(Edit3);
    d.label11 = textOf(Label11);
    d.up = cp.up;
    d.down = cp.down;
    d.offset = cp.offset;
    d.offsetDir = cp.offsetDir;
    d.hiK = cp.hiK;
    d.seed = sd.seed;
    d.mode = sd.mode;
    d.fracRstb = sd.fracRstb;
    d.fracBypass = sd.fracBypass;
    ChannelTable.set(channel, Words, planning::ChannelDescription(d));
}

// The new header replaces a file of the same name only once it is complete, so a failed export
// leaves neither a partial header nor a damaged earlier one. The name is easy to foresee: a link
// planted under it is replaced, never written through.
void TForm1::Button15Click() {
    const std::string path = files::joinPath(files::currentDirectory(), headerFileName(HeaderClock.now()));
    const std::string dateLine = headerDateLine(HeaderClock.now(), HeaderClock.dateFormat, HeaderClock.timeFormat);
    const std::string bytes = text::utf8ToCp932(headerText(ChannelTable, dateLine));
    if (const int err = files::replaceFile(path, bytes, files::Links::Replace))
        throw text::VtError(files::ioErrorMessageForErrno(err));
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
    Link.connect(selectedItem(ComboBox2), selectedItem(ComboBox1), true);
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
void TForm1::Button6Click() { Link.write(ChannelTable); }
void TForm1::Button13Click() { Link.viewBuffer(); }
void TForm1::Edit8KeyPress(const QString& Key) { Link.sendKey(Key); }
void TForm1::Button12Click() { Link.sendReturn(); }

void TForm1::appendStatusText(const QString& text) { statusLog_->appendRunOn(text); }
void TForm1::appendStatusLine(const QString& line) { statusLog_->appendLine(line); }
void TForm1::clearStatus() { statusLog_->clear(); }

void TForm1::setEdit7Text(const QString& text) { Edit7->setText(text); }
void TForm1::setMemo3Text(const QString& text) { Memo3->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))); }
void TForm1::setOpenEnabled(bool on) { Button1->setEnabled(on); }
void TForm1::setCloseEnabled(bool on) { Button2->setEnabled(on); }
void TForm1::resumeClose() { QTimer::singleShot(0, this, [this] { close(); }); }
