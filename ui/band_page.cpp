#include "ui/band_page.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgGenerator>
#include <QTimer>
#include <cmath>

#include "common/exception_report.h"
#include "files/atomic_file.h"
#include "files/errno_text.h"
#include "files/paths.h"
#include "planning/number_text.h"
#include "planning/register_words.h"
#include "text/shown.h"
#include "text/vt_error.h"
#include "ui/band_chart.h"

namespace {

constexpr int kLeft = 8, kRight = 616;
constexpr int kChartTop = 56, kChartHeight = 180, kBottom = 341;
constexpr int kButtonWidth = 112, kButtonStep = 28;  // the column of "Use", "Use nearest word", "Save…"
constexpr int kHalfBandMHz = 50;
const QSize kChartSize(kRight - kLeft, kChartHeight);  // PNG twice as fine

// The sweep's problems in the page's words.
const planning::SweepWords kPageWords{"From (MHz)", "To (MHz)", "Step (MHz)", "points"};

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string str(const QLineEdit* e) { return e->text().toStdString(); }

QString dialogSave(const QString& suggestion, QWidget* parent) {
    const QStringList filters{QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG image (*.svg)"),
                              QStringLiteral("CSV table (*.csv)")};
    QFileDialog dialog(parent, QStringLiteral("Save…"), suggestion, filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.section(QStringLiteral("*."), 1).chopped(1));
    });
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

// A line that ends in "…" where it is wider than the page, the whole of it in its tooltip; its
// text, which a screen reader reads, stays whole.
class ElidedLine : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
        painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
        setToolTip(shown == text() ? QString() : text());
    }
};

// The R list of a first plot: the R of "Manual Write" and then 1 to 4.
QString defaultRList(const std::string& current) {
    const auto r = planning::tryParseWhole(current);
    QStringList rs;
    if (r && *r >= 1 && planning::tryParseDecimal(current, '.')) rs << QString::number(*r);
    for (int i = 1; i <= 4; ++i)
        if (!rs.contains(QString::number(i))) rs << QString::number(i);
    return rs.join(QStringLiteral(", "));
}

}  // namespace

BandPage::BandPage(Context context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
    chooseFile = [this](const QString& suggestion) { return dialogSave(suggestion, this); };
}

// The job's thread must not outlive what it reports to.
BandPage::~BandPage() { job_.stop(); }

void BandPage::showEvent(QShowEvent* event) {
    build();
    showSource();
    QWidget::showEvent(event);
}

void BandPage::build() {
    if (built()) return;
    buildInputs();
    buildChart();
    const BandContext c = context_();
    if (const auto band = planning::bandAround(c.localOutput, kHalfBandMHz, c.decimalSeparator)) {
        fromEdit->setText(qs(band->first));
        toEdit->setText(qs(band->second));
    }
    stepEdit->setText(QStringLiteral("0") + QChar::fromLatin1(c.decimalSeparator) + QStringLiteral("1"));
    rEdit->setText(defaultRList(c.r));
    tableChanged();
    // Made while the page is being shown, after its children were.
    if (isVisible())
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->show();
}

void BandPage::buildInputs() {
    // Caption, edit: left to right on one line, each edit read by its caption's name.
    const struct {
        const char* caption;
        QLineEdit* BandPage::*edit;
        const char* name;
        int width;
    } inputs[] = {{"From (MHz)", &BandPage::fromEdit, "BandFromEdit", 74},
                  {"To (MHz)", &BandPage::toEdit, "BandToEdit", 74},
                  {"Step (MHz)", &BandPage::stepEdit, "BandStepEdit", 52},
                  {"R", &BandPage::rEdit, "BandREdit", 104}};
    int x = kLeft;
    for (const auto& in : inputs) {
        auto* caption = new QLabel(QString::fromUtf8(in.caption), this);
        caption->setGeometry(x, 9, caption->sizeHint().width(), 18);
        x += caption->sizeHint().width() + 4;
        QLineEdit* edit = this->*in.edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(in.name));
        edit->setGeometry(x, 8, in.width, 20);
        edit->setAccessibleName(caption->text());
        caption->setBuddy(edit);
        x += in.width + 10;
        connect(edit, &QLineEdit::returnPressed, this, [this] { runGuarded([this] { plot(); }); });
    }
    plotButton = new QPushButton(QStringLiteral("Plot"), this);
    plotButton->setObjectName("BandPlotButton");
    plotButton->setGeometry(kRight - 75, 6, 75, 25);
    plotButton->setAutoDefault(false);
    connect(plotButton, &QPushButton::clicked, this, [this] { runGuarded([this] { plot(); }); });

    sourceLine = new QLabel(this);
    sourceLine->setObjectName("BandSourceLine");
    sourceLine->setTextFormat(Qt::PlainText);
    sourceLine->setGeometry(kLeft, 34, 380, 18);
    spurView = new QRadioButton(QStringLiteral("Spur offset"), this);
    errorView = new QRadioButton(QStringLiteral("Error"), this);
    spurView->setObjectName("BandSpurView");
    errorView->setObjectName("BandErrorView");
    spurView->setChecked(true);
    const int errorWidth = errorView->sizeHint().width(), spurWidth = spurView->sizeHint().width();
    errorView->setGeometry(kRight - errorWidth, 33, errorWidth, 20);
    spurView->setGeometry(kRight - errorWidth - 12 - spurWidth, 33, spurWidth, 20);
    auto* views = new QButtonGroup(this);
    views->addButton(spurView);
    views->addButton(errorView);
    connect(views, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool) {
        chart->setView(spurView->isChecked() ? band::View::Spur : band::View::Error);
    });
}

void BandPage::buildChart() {
    chart = new BandChart(this);
    chart->setObjectName("BandChart");
    chart->setGeometry(kLeft, kChartTop, kRight - kLeft, kChartHeight);
    chart->setAccessibleName(QStringLiteral("Band chart"));
    chart->setAccessibleDescription(
        QStringLiteral("Spur offset or error against output, a curve per R. Left and Right move along a curve, "
                       "Page Up and Page Down in larger steps, Up and Down to another curve; the point is read "
                       "in the line under the chart."));
    chart->setPlaceholder(QStringLiteral("Plot shows spur offset and error across the band for each R."));
    connect(chart, &BandChart::pointChosen, this, &BandPage::showPoint);

    readout = new ElidedLine(this);
    readout->setObjectName("BandPointLine");
    readout->setTextFormat(Qt::PlainText);
    readout->setGeometry(kLeft, kChartTop + kChartHeight + 3, kRight - kLeft, 18);

    const int top = kChartTop + kChartHeight + 24;
    summary = new QPlainTextEdit(this);
    summary->setObjectName("BandSummary");
    summary->setAccessibleName(QStringLiteral("Summary"));
    summary->setReadOnly(true);
    summary->setTabChangesFocus(true);
    summary->setGeometry(kLeft, top, kRight - kLeft - kButtonWidth - 9, kBottom - top);

    useButton = new QPushButton(QStringLiteral("Use"), this);
    useButton->setObjectName("BandUseButton");
    useButton->setToolTip(QStringLiteral("The chosen output and R into Manual Write, then search"));
    useNearestButton = new QPushButton(QStringLiteral("Use nearest word"), this);
    useNearestButton->setObjectName("BandUseNearestButton");
    useNearestButton->setToolTip(
        QStringLiteral("As Use, then the 03h and 04h words of the nearest word for the same inputs"));
    saveButton = new QPushButton(QStringLiteral("Save…"), this);
    saveButton->setObjectName("BandSaveButton");
    int y = top;
    for (QPushButton* b : {useButton, useNearestButton, saveButton}) {
        b->setGeometry(kRight - kButtonWidth, y, kButtonWidth, 25);
        b->setEnabled(false);
        b->setAutoDefault(false);
        y += kButtonStep;
    }
    connect(useButton, &QPushButton::clicked, this, &BandPage::useClicked);
    connect(useNearestButton, &QPushButton::clicked, this, &BandPage::useNearestClicked);
    connect(saveButton, &QPushButton::clicked, this, &BandPage::saveClicked);

    progress_ = new QTimer(this);
    progress_->setInterval(150);
    connect(progress_, &QTimer::timeout, this, &BandPage::showProgress);

    setTabOrder(fromEdit, toEdit);
    setTabOrder(toEdit, stepEdit);
    setTabOrder(stepEdit, rEdit);
    setTabOrder(rEdit, plotButton);
    setTabOrder(plotButton, spurView);
    setTabOrder(spurView, chart);
    setTabOrder(chart, summary);
    setTabOrder(summary, useButton);
    setTabOrder(useButton, useNearestButton);
    setTabOrder(useNearestButton, saveButton);
}

void BandPage::showSource() {
    const BandContext c = context_();
    sourceLine->setText(QStringLiteral("Multiplier %1, STD %2 MHz, from Manual Write")
                            .arg(qs(c.multiplier).trimmed(), qs(c.std).trimmed()));
}

void BandPage::plot() {
    build();
    showSource();
    const BandContext c = context_();
    std::string problem;
    const auto steps =
        planning::SweepSteps::read(str(fromEdit), str(toEdit), str(stepEdit), c.decimalSeparator, problem, kPageWords);
    const auto rs = steps ? planning::readRList(str(rEdit), problem) : std::nullopt;
    if (rs && rs->size() > static_cast<size_t>(BandChart::kMostCurves))
        problem = "at most " + std::to_string(BandChart::kMostCurves) +
                  " values of R, each in a colour of its own: " + std::to_string(rs->size()) + " are listed";
    else if (rs)
        problem = planning::sweepSizeProblem(*steps, rs->size(), kPageWords);
    if (!problem.empty()) throw text::VtError(problem);
    start({{*steps, *rs, c.multiplier, c.std, c.decimalSeparator, c.cp, c.sd}, c.thresholdHz});
}

void BandPage::thresholdChanged() {
    if (!lastRequest_) return;
    band::Request again = *lastRequest_;
    again.thresholdHz = context_().thresholdHz;
    if (again.thresholdHz != lastRequest_->thresholdHz) start(std::move(again));
}

void BandPage::tableChanged() {
    if (!built()) return;
    const BandContext c = context_();
    chart->setMarks(chart->result()
                        ? band::channelMarks(c.table, band::outputRange(*chart->result()), c.decimalSeparator)
                        : std::vector<band::ChannelMark>{});
}

void BandPage::start(band::Request request) {
    lastRequest_ = request;
    const uint64_t generation = ++generation_;
    chart->setResult(nullptr);
    chart->setPlaceholder(QStringLiteral("Computing…"));
    summary->clear();
    for (QPushButton* b : {useButton, useNearestButton, saveButton}) b->setEnabled(false);
    job_.start(std::move(request), [this, generation](std::shared_ptr<const band::Result> result) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, result] {
                if (generation == generation_) show(result);
            },
            Qt::QueuedConnection);
    });
    showProgress();
    progress_->start();
}

void BandPage::showProgress() {
    const int64_t done = job_.pointsDone(), total = std::max<int64_t>(1, job_.pointsTotal());
    readout->setText(QStringLiteral("Computing %1 points: %2 % done").arg(total).arg(100 * done / total));
}

void BandPage::show(std::shared_ptr<const band::Result> result) {
    progress_->stop();
    chart->setResult(result);
    tableChanged();
    summary->setPlainText(qs(result->summaryText).trimmed());
    saveButton->setEnabled(true);
    // An R the 02h word cannot hold is said where the eye is, as vtplan warns of it.
    QStringList above;
    for (const int64_t r : result->request.inputs.rs)
        if (r > planning::kRefDivLimit) above << QString::number(r);
    if (above.isEmpty())
        readout->setText(QStringLiteral("Point at a curve, or move along it with the arrow keys, to read a point."));
    else
        readout->setText(QStringLiteral("Warning: R %1 %2 above %3, the most the 02h word holds; the words use R %3.")
                             .arg(above.join(QStringLiteral(", ")), above.size() == 1 ? "is" : "are")
                             .arg(planning::kRefDivLimit));
    emit finished();
}

void BandPage::showPoint(qint64 index, int curve) {
    const auto& result = chart->result();
    readout->setText(qs(band::pointText(result->request, index, static_cast<size_t>(curve))));
    useButton->setEnabled(true);
    useNearestButton->setEnabled(true);
}

QString BandPage::pictureCaption() const {
    const band::Request& r = chart->result()->request;
    return QStringLiteral("Multiplier %1, STD %2 MHz, spur warning below %3 Hz")
        .arg(qs(r.inputs.multiplier).trimmed(), qs(r.inputs.std).trimmed())
        .arg(r.thresholdHz);
}

std::optional<std::pair<QString, QString>> BandPage::chosenPoint() const {
    if (!built() || !chart->result() || chart->chosenIndex() < 0) return std::nullopt;
    const planning::SweepInputs& in = chart->result()->request.inputs;
    return std::pair(qs(in.steps.text(chart->chosenIndex(), in.decimalSeparator)),
                     QString::number(in.rs[static_cast<size_t>(chart->chosenCurve())]));
}

QByteArray BandPage::pngBytes() const {
    const QSize size = kChartSize + QSize(0, static_cast<int>(std::ceil(chart->captionHeight())));
    QImage image(size * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    {
        QPainter painter(&image);
        chart->render(painter, QRectF(QPointF(0, 0), size), pictureCaption());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray BandPage::svgBytes() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    const QSize size = kChartSize + QSize(0, static_cast<int>(std::ceil(chart->captionHeight())));
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Band"));
    {
        QPainter painter(&svg);
        chart->render(painter, QRectF(QPointF(0, 0), size), pictureCaption());
    }
    return bytes;
}

QByteArray BandPage::csvBytes() const {
    if (!chart->result()) return {};
    return QByteArray::fromStdString(chart->result()->csv);
}

QString BandPage::save() {
    if (!built() || !chart->result()) return {};
    const QString path = chooseFile(QFile::decodeName(files::joinPath(files::currentDirectory(), "band.png").c_str()));
    if (path.isEmpty()) return {};
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("png"))
        bytes = pngBytes();
    else if (suffix == QLatin1String("svg"))
        bytes = svgBytes();
    else if (suffix == QLatin1String("csv"))
        bytes = csvBytes();
    else
        throw text::VtError("Save… writes a .png, .svg or .csv file: " +
                            text::shown(QFileInfo(path).fileName().toStdString()));
    const std::string local = QFile::encodeName(path).toStdString();
    if (const int err =
            files::replaceFile(local, std::string_view(bytes.constData(), bytes.size()), files::Links::Replace))
        throw text::VtError(files::windowFileProblem(local, err, files::Links::Replace));
    return path;
}
