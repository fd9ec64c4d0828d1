// The "Band" page of the window: where the spurs fall across a band of outputs for several R.
// Added after "Channels"; it reads "Manual Write" and the table and changes them only through
// "Use", which does what the operator would: type the output and R, press "search", and "Use
// nearest word", which then puts the nearest word's 03h and 04h words in the search's place.
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "text/shown.h"
#include "ui/Unit1.h"
#include "ui/band_page.h"
#include "ui/channels_page.h"

namespace {

std::string textOf(const QLineEdit* e) { return e->text().toStdString(); }

}  // namespace

void TForm1::buildBandPage() {
    bandPage = new BandPage([this] {
        return BandContext{textOf(Edit1),    textOf(Edit2),        textOf(Edit3), textOf(Edit11),
                           DecimalSeparator, chargePumpSettings(), sdSettings(),  channelsPage->spurWarnBox->value(),
                           ChannelTable};
    });
    bandPage->setObjectName("BandPage");
    PageControl1->addTab(bandPage, QStringLiteral("Band"));
    connect(bandPage, &BandPage::useClicked, this, guarded(&TForm1::UseBandClick));
    connect(bandPage, &BandPage::useNearestClicked, this, guarded(&TForm1::UseNearestBandClick));
    connect(bandPage, &BandPage::saveClicked, this, guarded(&TForm1::SaveBandClick));
    connect(channelsPage->spurWarnBox, &QSpinBox::valueChanged, bandPage, &BandPage::thresholdChanged);
}

void TForm1::UseBandClick() {
    const auto point = bandPage->chosenPoint();
    if (!point) return;
    Edit1->setText(point->first);
    Edit11->setText(point->second);
    PageControl1->setCurrentWidget(TabSheet2);
    Button4->click();
}

// Typed and searched as "Use" does; a search that fails ends here, in its error box, and leaves
// the words as they were.
void TForm1::UseNearestBandClick() {
    const auto point = bandPage->chosenPoint();
    if (!point) return;
    Edit1->setText(point->first);
    Edit11->setText(point->second);
    PageControl1->setCurrentWidget(TabSheet2);
    Button4Click();
    nearestWordForLastSearch();
}

void TForm1::SaveBandClick() {
    const QString path = bandPage->save();
    if (!path.isEmpty())
        appendStatusLine(QStringLiteral("Band written to ") + QString::fromStdString(text::shown(path.toStdString())) +
                         QLatin1Char('.'));
}
