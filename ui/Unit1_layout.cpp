// The window's controls with the designer's absolute geometry (left, top, width, height in
// pixels of the parent's client area), captions, items, defaults and visibility.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>

#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/click_label.h"
#include "ui/fonts.h"
#include "ui/group_frame_style.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"

namespace {

template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 75,
                    int h = 25) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* edit(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 121, int h = 20) {
    auto* e = named(new QLineEdit(text, parent), name);
    e->setGeometry(x, y, w, h);
    return e;
}

// A label as wide as its text (the designer's auto-size), or of the given width for values
// that change. Plain text: values quote what the operator typed.
template <class L = QLabel>
L* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w = -1) {
    auto* l = named(new L(text, parent), name);
    l->setTextFormat(Qt::PlainText);
    const int h = l->fontMetrics().height();
    l->setGeometry(x, y, w < 0 ? l->sizeHint().width() : w, h);
    return l;
}

QPlainTextEdit* memo(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
                     bool verticalBar) {
    auto* m = named(new QPlainTextEdit(text, parent), name);
    m->setGeometry(x, y, w, h);
    m->setVerticalScrollBarPolicy(verticalBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return m;
}

TScrollBar* scrollBar(QWidget* parent, const char* name, int x, int y) {
    auto* s = named(new TScrollBar(parent), name);
    s->setGeometry(x, y, 121, 16);
    s->setRange(0, 127);
    return s;
}

TRadioGroup* radioGroup(QWidget* parent, const char* name, const QString& caption, const QStringList& items,
                        int columns, int index, int x, int y, int w, int h) {
    auto* g = named(new TRadioGroup(caption, items, columns, parent), name);
    drawFrameThroughTitle(*g);
    g->setGeometry(x, y, w, h);
    g->arrange();
    g->setItemIndex(index);
    for (int i = 0; i < g->count(); ++i)
        g->button(i)->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
    return g;
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h) {
    auto* g = named(new QGroupBox(caption, parent), name);
    drawFrameThroughTitle(*g);
    g->setGeometry(x, y, w, h);
    return g;
}

QComboBox* comboBox(QWidget* parent, const char* name, const QStringList& items, int x, int y) {
    auto* c = named(new QComboBox(parent), name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setGeometry(x, y, 145, 20);
    return c;
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

    const QFont fixed = fixedPitchFont();

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->setGeometry(0, 0, 632, 377);
    TabSheet1 = named(new QWidget, "TabSheet1");
    TabSheet2 = named(new QWidget, "TabSheet2");
    TabSheet4 = named(new QWidget, "TabSheet4");
    TabSheet3 = named(new QWidget, "TabSheet3");
    PageControl1->addTab(TabSheet1, QStringLiteral("LowLevelCommand"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Manual Write"));
    PageControl1->addTab(TabSheet4, QStringLiteral("RemoteControl"));
    PageControl1->addTab(TabSheet3, QStringLiteral("ComPort"));

    Memo2 = memo(this, "Memo2", QStringLiteral("Memo2"), 120, 384, 257, 73, true);
    Label16 = label(this, "Label16", QStringLiteral("Vantorix Configurator"), 392, 384);
    Label15 = label(this, "Label15", QStringLiteral("(C) 2011-2026 Vantorix"), 392, 400);
    BitBtn1 = button(this, "BitBtn1", QStringLiteral("Close(&C)"), 528, 424);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    // "LowLevelCommand"
    QWidget* p = TabSheet1;
    Button7 = button(p, "Button7", QStringLiteral("Erase A"), 24, 24);
    Button8 = button(p, "Button8", QStringLiteral("Erase B"), 24, 64);
    Button9 = button(p, "Button9", QStringLiteral("Erase AB"), 24, 104);
    Button10 = button(p, "Button10", QStringLiteral("Initialize"), 24, 144);
    Button11 = button(p, "Button11", QStringLiteral("Dump"), 24, 184);
    Memo3 = memo(p, "Memo3", QStringLiteral("Memo3"), 144, 24, 401, 265, true);
    Memo3->setFont(fixed);
    Button13 = button(p, "Button13", QStringLiteral("View Buffer"), 376, 304);
    Edit8 = edit(p, "Edit8", QStringLiteral("Edit8"), 16, 304);
    Edit8->setVisible(false);
    Button12 = button(p, "Button12", QStringLiteral("send"), 152, 304);
    Button12->setVisible(false);

    // "Manual Write"
    p = TabSheet2;
    GroupBox1 = groupBox(p, "GroupBox1", QStringLiteral("Frequency"), 0, 8, 233, 185);
    Label1 = label(GroupBox1, "Label1", QStringLiteral("LocalOutput(MHz)"), 4, 19);
    Label2 = label(GroupBox1, "Label2", QStringLiteral("Multiplier"), 4, 43);
    Label3 = label(GroupBox1, "Label3", QStringLiteral("STD(MHz)"), 4, 67);
    Label34 = label(GroupBox1, "Label34", QStringLiteral("R"), 4, 91);
    Edit1 = edit(GroupBox1, "Edit1", QStringLiteral("Edit1"), 104, 16);
    Edit2 = edit(GroupBox1, "Edit2", QStringLiteral("Edit2"), 104, 40);
    Edit3 = edit(GroupBox1, "Edit3", QStringLiteral("Edit3"), 104, 64);
    Edit11 = edit(GroupBox1, "Edit11", QStringLiteral("Edit11"), 104, 88);
    // Assistive technology names each edit by the caption beside it.
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    Label3->setBuddy(Edit3);
    Label34->setBuddy(Edit11);
    Label5 = label(GroupBox1, "Label5", QStringLiteral("VCO(Hz)"), 4, 120);
    Label4 = label(GroupBox1, "Label4", QStringLiteral("__"), 104, 120, 125);
    Label30 = label(GroupBox1, "Label30", QStringLiteral("FFRAC"), 4, 136);
    Label29 = label(GroupBox1, "Label29", QStringLiteral("Label29"), 104, 136, 125);
    Label31 = label(GroupBox1, "Label31", QStringLiteral("N_INT"), 4, 160);
    Label32 = label(GroupBox1, "Label32", QStringLiteral("Label32"), 104, 160, 125);
    for (QLabel* hidden : {Label30, Label29, Label31, Label32}) hidden->setVisible(false);

    GroupBox2 = groupBox(p, "GroupBox2", QStringLiteral("RatioFinder"), 0, 200, 177, 129);
    Label6 = label(GroupBox2, "Label6", QStringLiteral("N"), 8, 16);
    Label9 = label(GroupBox2, "Label9", QStringLiteral("n "), 72, 16, 101);
    Label17 = label(GroupBox2, "Label17", QStringLiteral("Integer"), 8, 32);
    Label18 = label(GroupBox2, "Label18", QStringLiteral("a"), 72, 32, 101);
    Label19 = label(GroupBox2, "Label19", QStringLiteral("Fractional"), 8, 48);
    Label20 = label(GroupBox2, "Label20", QStringLiteral("b"), 72, 48, 101);
    Label7 = label(GroupBox2, "Label7", QStringLiteral("R Counter"), 8, 64);
    Label10 = label(GroupBox2, "Label10", QStringLiteral("r"), 72, 64, 101);
    Label8 = label(GroupBox2, "Label8", QStringLiteral("PD(Hz)"), 8, 80);
    Label11 = label(GroupBox2, "Label11", QStringLiteral("pd"), 72, 80, 101);
    Button4 = button(GroupBox2, "Button4", QStringLiteral("serch"), 64, 96, 49, 25);
    Button5 = button(GroupBox2, "Button5", QStringLiteral("reset"), 120, 96, 49, 25);

    GroupBox3 = groupBox(p, "GroupBox3", QStringLiteral("Result"), 184, 200, 225, 129);
    Label12 = label(GroupBox3, "Label12", QStringLiteral("02h REFDIV"), 4, 11);
    Label13 = label(GroupBox3, "Label13", QStringLiteral("03h Integer"), 4, 35);
    Label14 = label(GroupBox3, "Label14", QStringLiteral("04h Fractional"), 4, 59);
    Label21 = label(GroupBox3, "Label21", QStringLiteral("09h CP"), 4, 83);
    Label22 = label(GroupBox3, "Label22", QStringLiteral("06h SD"), 4, 107);
    Edit4 = edit(GroupBox3, "Edit4", QStringLiteral("Edit4"), 88, 8);
    Edit6 = edit(GroupBox3, "Edit6", QStringLiteral("Edit6"), 88, 32);
    Edit9 = edit(GroupBox3, "Edit9", QStringLiteral("Edit9"), 88, 56);
    Edit5 = edit(GroupBox3, "Edit5", QStringLiteral("Edit5"), 88, 80);
    Edit10 = edit(GroupBox3, "Edit10", QStringLiteral("Edit10"), 88, 104);
    for (QLineEdit* result : {Edit4, Edit6, Edit9, Edit5, Edit10}) result->setFont(fixed);
    Label12->setBuddy(Edit4);
    Label13->setBuddy(Edit6);
    Label14->setBuddy(Edit9);
    Label21->setBuddy(Edit5);
    Label22->setBuddy(Edit10);

    GroupBox4 = groupBox(p, "GroupBox4", QStringLiteral("Charge Pump"), 240, 8, 201, 185);
    ScrollBar1 = scrollBar(GroupBox4, "ScrollBar1", 8, 24);
    ScrollBar2 = scrollBar(GroupBox4, "ScrollBar2", 8, 56);
    ScrollBar3 = scrollBar(GroupBox4, "ScrollBar3", 8, 88);
    // Named after their current labels' stored captions rather than the group they sit in.
    ScrollBar1->setAccessibleName(QStringLiteral("UpGain"));
    ScrollBar2->setAccessibleName(QStringLiteral("DownGain"));
    ScrollBar3->setAccessibleName(QStringLiteral("Offset"));
    Label26 = label<TClickLabel>(GroupBox4, "Label26", QStringLiteral("UpGain"), 136, 26, 61);
    Label28 = label(GroupBox4, "Label28", QStringLiteral("DownGain"), 136, 58, 61);
    Label33 = label(GroupBox4, "Label33", QStringLiteral("Offset"), 136, 90, 61);
    RadioGroup1 = radioGroup(GroupBox4, "RadioGroup1", QStringLiteral("CP add 3.5mA"), {"On", "Off"}, 1, 0, 8, 112,
                             89, 65);
    RadioGroup3 = radioGroup(GroupBox4, "RadioGroup3", QStringLiteral("Offset Dir"), {"Up", "Down"}, 1, 0, 104, 112,
                             89, 65);

    GroupBox5 = groupBox(p, "GroupBox5", QStringLiteral("SD"), 448, 8, 169, 185);
    RadioGroup4 = radioGroup(GroupBox5, "RadioGroup4", QStringLiteral("seed select"),
                             {"0", "LSB", "B29D08h", "50F1CDh"}, 2, 2, 4, 16, 161, 50);
    RadioGroup5 = radioGroup(GroupBox5, "RadioGroup5", QStringLiteral("Modulator Mode"),
                             {"Reserved", "Reserved", "ModeB", "ModeA"}, 2, 3, 4, 68, 161, 50);
    RadioGroup7 = radioGroup(GroupBox5, "RadioGroup7", QStringLiteral("fracbypas"), {"use", "bypass"}, 1, 0, 4,
                             120, 79, 58);
    RadioGroup6 = radioGroup(GroupBox5, "RadioGroup6", QStringLiteral("frac_rstb"), {"Disable", "Enable"}, 1, 1,
                             86, 120, 79, 58);

    RadioGroup2 = radioGroup(p, "RadioGroup2", QStringLiteral("MemoryChannel"),
                             {"ch0", "ch1", "ch2", "ch3", "ch4", "ch5", "ch6", "ch7"}, 2, 0, 416, 200, 97, 129);
    Button14 = button(p, "Button14", QStringLiteral("set"), 520, 208);
    Button6 = button(p, "Button6", QStringLiteral("Write"), 520, 256);
    Button15 = button(p, "Button15", QStringLiteral("header file"), 520, 304);

    // "RemoteControl"
    p = TabSheet4;
    Button3 = button(p, "Button3", QStringLiteral("ch0"), 40, 16);
    Button16 = button(p, "Button16", QStringLiteral("ch1"), 40, 56);
    Button17 = button(p, "Button17", QStringLiteral("ch2"), 40, 96);
    Button18 = button(p, "Button18", QStringLiteral("ch3"), 40, 136);
    Button19 = button(p, "Button19", QStringLiteral("ch4"), 40, 176);
    Button20 = button(p, "Button20", QStringLiteral("ch5"), 40, 216);
    Button21 = button(p, "Button21", QStringLiteral("ch6"), 40, 256);
    Button22 = button(p, "Button22", QStringLiteral("ch7"), 40, 296);

    // "ComPort"
    p = TabSheet3;
    ComboBox1 = comboBox(p, "ComboBox1",
                         {"com1", "com2", "com3", "com4", "com5", "com6", "com7", "com8", "com9", "com10", "com11",
                          "com12"},
                         24, 48);
    ComboBox2 = comboBox(p, "ComboBox2", {"9600", "115200"}, 176, 48);
    Button1 = button(p, "Button1", QStringLiteral("Open"), 376, 32);
    Button2 = button(p, "Button2", QStringLiteral("Close"), 376, 72);
    Edit7 = edit(p, "Edit7", QStringLiteral("Edit7"), 184, 88);
    Edit7->setVisible(false);
    Memo1 = memo(p, "Memo1", QStringLiteral("Memo1"), 224, 128, 185, 89, false);
    Memo1->setVisible(false);

    PageControl1->setCurrentWidget(TabSheet2);
}
