// The window's controls as rows of data: each row names a control, gives its caption, its
// geometry (left, top, width, height in pixels of the parent's client area, as the designer
// placed it) and the handler its event runs. The rows are built and wired in their order, which
// is also the order the Tab key takes.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QTabWidget>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "planning/choices.h"
#include "planning/register_words.h"
#include "protocol/line_speeds.h"
#include "protocol/listed_ports.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/click_label.h"
#include "ui/event_hook.h"
#include "ui/fonts.h"
#include "ui/group_frame_style.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"

namespace {

using F = TForm1;
using Click = void (F::*)();      // a click; in an edit, a key released
using Scroll = void (F::*)(int);  // the operator moved a scroll bar

// The member a row fills; its type is the kind of control the row makes.
// Pointer-to-member types: kept as written (the formatter puts blanks around their '*').
// clang-format off
using Control = std::variant<QPushButton* F::*, QLineEdit* F::*, QLabel* F::*, TClickLabel* F::*,
                             QPlainTextEdit* F::*, TScrollBar* F::*, TRadioGroup* F::*, QComboBox* F::*,
                             QGroupBox* F::*>;
// clang-format on

// Left and top; width and height where the kind of control has none of its own (-1). A label
// without a width is as wide as its text (the designer's auto-size).
struct Place {
    int x, y, w = -1, h = -1;
};

enum Look : unsigned { Plain = 0, Hidden = 1, FixedPitch = 2, VerticalBar = 4 };

struct Row {
    Control control;
    const char* name;
    const char* caption;  // text or title; an edit's or memo's first text
    Place at;
    std::variant<std::monostate, Click, Scroll> on = {};
    unsigned look = Plain;
    QStringList items = {};          // radio groups, combo boxes
    int columns = 1, index = 0;      // radio groups: columns and the item selected at first
    QLineEdit* F::*buddy = nullptr;  // a label: the edit it captions, for assistive technology
    QLabel* F::*value = nullptr;     // a label: the value label it captions, for the same
    const char* spoken = nullptr;    // what a screen reader calls a control that has no caption
    std::vector<Row> inside = {};    // a group box: its controls
};

struct Page {
    QWidget* F::*page;  // nullptr: the window itself
    std::vector<Row> rows;
};

Row button(QPushButton* F::*m, const char* name, const char* caption, Place at, Click on = nullptr) {
    return {.control = m, .name = name, .caption = caption, .at = at, .on = on};
}
Row edit(QLineEdit* F::*m, const char* name, Place at, Click keyUp = nullptr) {
    return {.control = m, .name = name, .caption = name, .at = at, .on = keyUp};
}
Row label(QLabel* F::*m, const char* name, const char* caption, Place at, QLineEdit* F::*buddy = nullptr) {
    return {.control = m, .name = name, .caption = caption, .at = at, .buddy = buddy};
}
Row valueCaption(QLabel* F::*m, const char* name, const char* caption, Place at, QLabel* F::*value) {
    return {.control = m, .name = name, .caption = caption, .at = at, .value = value};
}
Row clickLabel(TClickLabel* F::*m, const char* name, const char* caption, Place at, Click on) {
    return {.control = m, .name = name, .caption = caption, .at = at, .on = on};
}
Row memo(QPlainTextEdit* F::*m, const char* name, const char* spoken, Place at, unsigned look) {
    return {.control = m, .name = name, .caption = name, .at = at, .look = look, .spoken = spoken};
}
Row scrollBar(TScrollBar* F::*m, const char* name, const char* spoken, Place at, Scroll on) {
    return {.control = m, .name = name, .caption = "", .at = at, .on = on, .spoken = spoken};
}
Row radioGroup(TRadioGroup* F::*m, const char* name, const char* caption, QStringList items, int columns, int index,
               Place at) {
    return {.control = m,
            .name = name,
            .caption = caption,
            .at = at,
            .items = std::move(items),
            .columns = columns,
            .index = index};
}
Row comboBox(QComboBox* F::*m, const char* name, const char* spoken, QStringList items, Place at) {
    return {.control = m, .name = name, .caption = "", .at = at, .items = std::move(items), .spoken = spoken};
}
Row groupBox(QGroupBox* F::*m, const char* name, const char* caption, Place at, std::vector<Row> inside) {
    return {.control = m, .name = name, .caption = caption, .at = at, .inside = std::move(inside)};
}
Row with(unsigned look, Row row) {
    row.look |= look;
    return row;
}

// "com1" … "com12", the ports the window offers by name.
QStringList listedPorts() {
    QStringList names;
    for (int n = 1; n <= protocol::kListedPorts; ++n) names << QStringLiteral("com%1").arg(n);
    return names;
}

// "9600", "115200": the unit's line speeds.
QStringList baudRates() {
    QStringList rates;
    for (const int baud : protocol::kBaudRates) rates << QString::number(baud);
    return rates;
}

// A radio group's items, as the window shows them.
template <std::size_t N>
QStringList itemsOf(const std::array<planning::Choice, N>& choices) {
    QStringList items;
    for (const planning::Choice& c : choices) items << QString::fromUtf8(c.caption.data(), c.caption.size());
    return items;
}

// The choices a new plan starts from are those the radio groups show at first.
constexpr planning::ChargePumpSettings kCp{};
constexpr planning::SdSettings kSd{};

// clang-format off
std::vector<Page> layoutRows() {
    return {
        {nullptr, {
            memo(&F::Memo2, "Memo2", "Status log", {120, 384, 257, 73}, VerticalBar),
            label(&F::Label16, "Label16", "Vantorix Configurator", {392, 384}),
            label(&F::Label15, "Label15", "(C) 2011-2026 Vantorix", {392, 400}),
            button(&F::BitBtn1, "BitBtn1", "Close(&C)", {528, 424}),
        }},
        {&F::TabSheet1, {  // "LowLevelCommand"
            button(&F::Button7, "Button7", "Erase A", {24, 24}),
            button(&F::Button8, "Button8", "Erase B", {24, 64}),
            button(&F::Button9, "Button9", "Erase AB", {24, 104}),
            button(&F::Button10, "Button10", "Initialize", {24, 144}, &F::Button10Click),
            button(&F::Button11, "Button11", "Dump", {24, 184}, &F::Button11Click),
            memo(&F::Memo3, "Memo3", "Buffer view", {144, 24, 401, 265}, VerticalBar | FixedPitch),
            button(&F::Button13, "Button13", "View Buffer", {376, 304}, &F::Button13Click),
            with(Hidden, edit(&F::Edit8, "Edit8", {16, 304})),  // keys typed go to the unit: wireHandlers
            with(Hidden, button(&F::Button12, "Button12", "send", {152, 304}, &F::Button12Click)),
        }},
        {&F::TabSheet2, {  // "Manual Write"
            groupBox(&F::GroupBox1, "GroupBox1", "Frequency", {0, 8, 233, 185}, {
                label(&F::Label1, "Label1", "LocalOutput(MHz)", {4, 19}, &F::Edit1),
                label(&F::Label2, "Label2", "Multiplier", {4, 43}, &F::Edit2),
                label(&F::Label3, "Label3", "STD(MHz)", {4, 67}, &F::Edit3),
                label(&F::Label34, "Label34", "R", {4, 91}, &F::Edit11),
                edit(&F::Edit1, "Edit1", {104, 16}, &F::Edit1KeyUp),
                edit(&F::Edit2, "Edit2", {104, 40}, &F::Edit2KeyUp),
                edit(&F::Edit3, "Edit3", {104, 64}, &F::Edit3KeyUp),
                edit(&F::Edit11, "Edit11", {104, 88}),
                valueCaption(&F::Label5, "Label5", "VCO(Hz)", {4, 120}, &F::Label4),
                label(&F::Label4, "Label4", "__", {104, 120, 125}),
                with(Hidden, label(&F::Label30, "Label30", "FFRAC", {4, 136})),
                with(Hidden, label(&F::Label29, "Label29", "Label29", {104, 136, 125})),
                with(Hidden, label(&F::Label31, "Label31", "N_INT", {4, 160})),
                with(Hidden, label(&F::Label32, "Label32", "Label32", {104, 160, 125})),
            }),
            groupBox(&F::GroupBox2, "GroupBox2", "RatioFinder", {0, 200, 177, 129}, {
                valueCaption(&F::Label6, "Label6", "N", {8, 16}, &F::Label9),
                label(&F::Label9, "Label9", "n ", {72, 16, 101}),
                valueCaption(&F::Label17, "Label17", "Integer", {8, 32}, &F::Label18),
                label(&F::Label18, "Label18", "a", {72, 32, 101}),
                valueCaption(&F::Label19, "Label19", "Fractional", {8, 48}, &F::Label20),
                label(&F::Label20, "Label20", "b", {72, 48, 101}),
                valueCaption(&F::Label7, "Label7", "R Counter", {8, 64}, &F::Label10),
                label(&F::Label10, "Label10", "r", {72, 64, 101}),
                valueCaption(&F::Label8, "Label8", "PD(Hz)", {8, 80}, &F::Label11),
                label(&F::Label11, "Label11", "pd", {72, 80, 101}),
                button(&F::Button4, "Button4", "serch", {64, 96, 49, 25}, &F::Button4Click),
                button(&F::Button5, "Button5", "reset", {120, 96, 49, 25}, &F::Button5Click),
            }),
            groupBox(&F::GroupBox3, "GroupBox3", "Result", {184, 200, 225, 129}, {
                label(&F::Label12, "Label12", "02h REFDIV", {4, 11}, &F::Edit4),
                label(&F::Label13, "Label13", "03h Integer", {4, 35}, &F::Edit6),
                label(&F::Label14, "Label14", "04h Fractional", {4, 59}, &F::Edit9),
                label(&F::Label21, "Label21", "09h CP", {4, 83}, &F::Edit5),
                label(&F::Label22, "Label22", "06h SD", {4, 107}, &F::Edit10),
                with(FixedPitch, edit(&F::Edit4, "Edit4", {88, 8})),
                with(FixedPitch, edit(&F::Edit6, "Edit6", {88, 32})),
                with(FixedPitch, edit(&F::Edit9, "Edit9", {88, 56})),
                with(FixedPitch, edit(&F::Edit5, "Edit5", {88, 80})),
                with(FixedPitch, edit(&F::Edit10, "Edit10", {88, 104})),
            }),
            groupBox(&F::GroupBox4, "GroupBox4", "Charge Pump", {240, 8, 201, 185}, {
                scrollBar(&F::ScrollBar1, "ScrollBar1", "Charge pump up current", {8, 24}, &F::ScrollBar1Scroll),
                scrollBar(&F::ScrollBar2, "ScrollBar2", "Charge pump down current", {8, 56}, &F::ScrollBar2Scroll),
                scrollBar(&F::ScrollBar3, "ScrollBar3", "Charge pump offset current", {8, 88}, &F::ScrollBar3Scroll),
                clickLabel(&F::Label26, "Label26", "UpGain", {136, 26, 61}, &F::Button10Click),
                label(&F::Label28, "Label28", "DownGain", {136, 58, 61}),
                label(&F::Label33, "Label33", "Offset", {136, 90, 61}),
                radioGroup(&F::RadioGroup1, "RadioGroup1", "CP add 3.5mA", itemsOf(planning::kHiKChoices), 1,
                           kCp.hiK, {8, 112, 89, 65}),
                radioGroup(&F::RadioGroup3, "RadioGroup3", "Offset Dir", itemsOf(planning::kOffsetDirChoices), 1,
                           kCp.offsetDir, {104, 112, 89, 65}),
            }),
            groupBox(&F::GroupBox5, "GroupBox5", "SD", {448, 8, 169, 185}, {
                radioGroup(&F::RadioGroup4, "RadioGroup4", "seed select", itemsOf(planning::kSeedChoices), 2,
                           kSd.seed, {4, 16, 161, 50}),
                radioGroup(&F::RadioGroup5, "RadioGroup5", "Modulator Mode", itemsOf(planning::kModeChoices), 2,
                           kSd.mode, {4, 68, 161, 50}),
                radioGroup(&F::RadioGroup7, "RadioGroup7", "fracbypas", itemsOf(planning::kFracBypassChoices), 1,
                           kSd.fracBypass, {4, 120, 79, 58}),
                radioGroup(&F::RadioGroup6, "RadioGroup6", "frac_rstb", itemsOf(planning::kFracRstbChoices), 1,
                           kSd.fracRstb, {86, 120, 79, 58}),
            }),
            radioGroup(&F::RadioGroup2, "RadioGroup2", "MemoryChannel",
                       {"ch0", "ch1", "ch2", "ch3", "ch4", "ch5", "ch6", "ch7"}, 2, 0, {416, 200, 97, 129}),
            button(&F::Button14, "Button14", "set", {520, 208}, &F::Button14Click),
            button(&F::Button6, "Button6", "Write", {520, 256}, &F::Button6Click),
            button(&F::Button15, "Button15", "header file", {520, 304}, &F::Button15Click),
        }},
        {&F::TabSheet4, {  // "RemoteControl"
            button(&F::Button3, "Button3", "ch0", {40, 16}, &F::Button3Click),
            button(&F::Button16, "Button16", "ch1", {40, 56}, &F::Button16Click),
            button(&F::Button17, "Button17", "ch2", {40, 96}, &F::Button17Click),
            button(&F::Button18, "Button18", "ch3", {40, 136}, &F::Button18Click),
            button(&F::Button19, "Button19", "ch4", {40, 176}, &F::Button19Click),
            button(&F::Button20, "Button20", "ch5", {40, 216}, &F::Button20Click),
            button(&F::Button21, "Button21", "ch6", {40, 256}, &F::Button21Click),
            button(&F::Button22, "Button22", "ch7", {40, 296}, &F::Button22Click),
        }},
        {&F::TabSheet3, {  // "ComPort"
            comboBox(&F::ComboBox1, "ComboBox1", "Port", listedPorts(), {24, 48}),
            comboBox(&F::ComboBox2, "ComboBox2", "Baud rate", baudRates(), {176, 48}),
            button(&F::Button1, "Button1", "Open", {376, 32}, &F::Button1Click),
            button(&F::Button2, "Button2", "Close", {376, 72}, &F::Button2Click),
            with(Hidden, edit(&F::Edit7, "Edit7", {184, 88})),  // count of receive events
            memo(&F::Memo1, "Memo1", nullptr, {224, 128, 185, 89}, Hidden),  // never used
        }},
    };
}
// clang-format on

QRect rect(const Place& at, int w, int h) { return {at.x, at.y, at.w < 0 ? w : at.w, at.h < 0 ? h : at.h}; }

// The control of a row, of the row's kind, not yet named.
template <class W>
W* make(QWidget* parent, const Row& row) {
    const QString caption = QString::fromUtf8(row.caption);
    W* w = nullptr;
    if constexpr (std::is_same_v<W, QPushButton>) {
        w = new QPushButton(caption, parent);
        w->setGeometry(rect(row.at, 75, 25));
        w->setAutoDefault(false);
    } else if constexpr (std::is_same_v<W, QLineEdit>) {
        w = new QLineEdit(caption, parent);
        w->setGeometry(rect(row.at, 121, 20));
    } else if constexpr (std::is_base_of_v<QLabel, W>) {
        // Plain text: values quote what the operator typed.
        w = new W(caption, parent);
        w->setTextFormat(Qt::PlainText);
        w->setGeometry(rect(row.at, w->sizeHint().width(), w->fontMetrics().height()));
    } else if constexpr (std::is_same_v<W, QPlainTextEdit>) {
        w = new QPlainTextEdit(caption, parent);
        w->setGeometry(rect(row.at, 0, 0));
        w->setVerticalScrollBarPolicy((row.look & VerticalBar) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        w->setTabChangesFocus(true);  // a memo takes no tabs: Tab goes on to the next control
    } else if constexpr (std::is_same_v<W, TScrollBar>) {
        w = new TScrollBar(parent);
        w->setGeometry(rect(row.at, 121, 16));
        w->setRange(0, planning::kCurrentStepsMax);
    } else if constexpr (std::is_same_v<W, TRadioGroup>) {
        w = new TRadioGroup(caption, row.items, row.columns, parent);
        drawFrameThroughTitle(*w);
        w->setGeometry(rect(row.at, 0, 0));
        w->arrange();
        w->setItemIndex(row.index);
        for (int i = 0; i < w->count(); ++i)
            w->button(i)->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(row.name)).arg(i));
    } else if constexpr (std::is_same_v<W, QComboBox>) {
        w = new QComboBox(parent);
        w->setEditable(true);
        w->setInsertPolicy(QComboBox::NoInsert);
        w->addItems(row.items);
        w->setGeometry(rect(row.at, 145, 20));
        // The box is read by its name (comboBoxAccessible); the edit that takes its keys is too.
        w->lineEdit()->setAccessibleName(QString::fromUtf8(row.spoken));
    } else {
        static_assert(std::is_same_v<W, QGroupBox>);
        w = new QGroupBox(caption, parent);
        drawFrameThroughTitle(*w);
        w->setGeometry(rect(row.at, 0, 0));
    }
    return w;
}

// Makes the controls of rows in parent, fills their members and hands each to wire, a group
// box before the controls in it.
template <class Wire>
void placeRows(TForm1& form, QWidget* parent, const std::vector<Row>& rows, const QFont& fixed, Wire& wire) {
    for (const Row& row : rows) {
        QWidget* control = std::visit(
            [&]<class W>(W* F::*member) -> QWidget* {
                W* w = make<W>(parent, row);
                w->setObjectName(QString::fromLatin1(row.name));
                form.*member = w;
                return w;
            },
            row.control);
        if (row.look & FixedPitch) control->setFont(fixed);
        if (row.look & Hidden) control->setVisible(false);
        if (row.spoken) control->setAccessibleName(QString::fromUtf8(row.spoken));
        wire(row, control);
        placeRows(form, control, row.inside, fixed, wire);
    }
}

}  // namespace

void TForm1::buildLayout() {
    setObjectName("Form1");
    setWindowTitle(applicationTitle());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(windowFont());
    setFixedSize(632, 460);
    move(476, 109);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(0, 0, 632, 377);
    const struct {
        QWidget* TForm1::*page;
        const char *name, *title;
    } pages[] = {{&F::TabSheet1, "TabSheet1", "LowLevelCommand"},
                 {&F::TabSheet2, "TabSheet2", "Manual Write"},
                 {&F::TabSheet4, "TabSheet4", "RemoteControl"},
                 {&F::TabSheet3, "TabSheet3", "ComPort"}};
    for (const auto& p : pages) {
        this->*p.page = new QWidget;
        (this->*p.page)->setObjectName(QString::fromLatin1(p.name));
        PageControl1->addTab(this->*p.page, QString::fromLatin1(p.title));
    }

    std::vector<std::pair<QLabel*, const Row*>> captions;
    auto wire = [this, &captions](const Row& row, QWidget* control) {
        if (row.buddy || row.value) captions.emplace_back(static_cast<QLabel*>(control), &row);
        if (const Click* click = std::get_if<Click>(&row.on); click && *click) {
            const auto run = guarded(*click);
            if (auto* b = qobject_cast<QPushButton*>(control))
                connect(b, &QPushButton::clicked, this, run);
            else if (auto* l = qobject_cast<TClickLabel*>(control))
                connect(l, &TClickLabel::clicked, this, run);
            else  // an edit: a key released in it
                new EventHook(control, QEvent::KeyRelease, [run](QEvent*) { run(); });
        } else if (const Scroll* scroll = std::get_if<Scroll>(&row.on)) {
            // A scroll is what the operator does to the bar (arrows, trough, keys, wheel, every
            // step of a drag); positions set by the program do not count. The label takes the
            // position the bar is moving to.
            auto* bar = static_cast<QScrollBar*>(control);
            const auto run = guarded(*scroll);
            connect(bar, &QAbstractSlider::actionTriggered, this, [bar, run](int) { run(bar->sliderPosition()); });
            connect(bar, &QAbstractSlider::sliderMoved, this, run);
        }
    };
    const QFont fixed = fixedPitchFont();
    const std::vector<Page> rows = layoutRows();  // kept while the captions below point into it
    for (const Page& p : rows) placeRows(*this, p.page ? this->*p.page : this, p.rows, fixed, wire);
    // Assistive technology names each edit and value by the caption beside it.
    for (const auto& [label, row] : captions)
        label->setBuddy(row->buddy ? static_cast<QWidget*>(this->*row->buddy) : this->*row->value);
    // The two "Reserved" modes read alike; what a channel's description calls them tells them apart.
    for (int mode : {0, 1}) {
        const std::string_view word = planning::kModeChoices[static_cast<std::size_t>(mode)].word;
        RadioGroup5->button(mode)->setAccessibleDescription(
            QStringLiteral("Reserved mode %1 (%2 in a channel's description)")
                .arg(mode + 1)
                .arg(QString::fromUtf8(word.data(), word.size())));
    }

    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    PageControl1->setCurrentWidget(TabSheet2);
}
