#pragma once
// The "Band" page: spur offset and error across a band of outputs for several R, as a chart and
// as a summary of where each R's spur comes nearer than the Channels page's threshold. Its
// controls are made when it is first shown, so the window starts as fast without it; the sweep
// runs on a thread of its own. "Use", "Use nearest word" and "Save…" are the window's to act on.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "band/band_job.h"
#include "planning/channel_table.h"
#include "planning/register_words.h"

class BandChart;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// What the page takes from the rest of the window, read when it needs it.
struct BandContext {
    std::string localOutput, multiplier, std, r;  // "Manual Write"'s texts
    char decimalSeparator = '.';
    planning::ChargePumpSettings cp;
    planning::SdSettings sd;
    int64_t thresholdHz = 0;  // "Spur warning below (Hz)"
    planning::ChannelTable table;
};

class BandPage : public QWidget {
    Q_OBJECT
public:
    using Context = std::function<BandContext()>;
    // Asks for the name to save under; "" when the operator cancels.
    using FileChooser = std::function<QString(const QString& suggestion)>;

    explicit BandPage(Context context, QWidget* parent = nullptr);
    ~BandPage() override;

    bool built() const { return chart != nullptr; }
    void build();  // once; the first show does it

    // "Plot": a sweep of the inputs with "Manual Write"'s Multiplier and STD. Throws
    // text::VtError for inputs that make no band, in the page's words, and for more values of R
    // than the chart has colours.
    void plot();
    // The threshold changed: the last plot again with the new one.
    void thresholdChanged();
    // The channel table changed: its marks.
    void tableChanged();

    // The chosen point's output, as typed into LocalOutput, and R; nullopt while none is chosen.
    std::optional<std::pair<QString, QString>> chosenPoint() const;
    // "Save…": the chart as PNG or SVG, the sweep as CSV, by the name's suffix. Returns the name
    // written, "" when the operator cancelled; throws text::VtError when it cannot be written.
    QString save();
    // The bytes that save() writes for each kind; a picture says under the chart which
    // multiplier, STD and threshold it was plotted with.
    QByteArray pngBytes() const;
    QByteArray svgBytes() const;
    QByteArray csvBytes() const;

    // Made by build(); null before.
    QLineEdit *fromEdit = nullptr, *toEdit = nullptr, *stepEdit = nullptr, *rEdit = nullptr;
    QPushButton* plotButton = nullptr;
    QLabel* sourceLine = nullptr;  // the Multiplier and STD taken from "Manual Write"
    QRadioButton *spurView = nullptr, *errorView = nullptr;
    BandChart* chart = nullptr;
    QLabel* readout = nullptr;  // the chosen point, read by a screen reader as it changes
    QPlainTextEdit* summary = nullptr;
    QPushButton *useButton = nullptr, *useNearestButton = nullptr, *saveButton = nullptr;
    FileChooser chooseFile;  // the file dialog; a test answers in its place

    band::Job& job() { return job_; }

signals:
    void useClicked();
    void useNearestClicked();
    void saveClicked();
    void finished();  // a sweep's result is shown

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildInputs();
    void buildChart();
    void start(band::Request request);
    void show(std::shared_ptr<const band::Result> result);
    void showProgress();
    void showSource();
    void showPoint(qint64 index, int curve);
    // "Multiplier 100, STD 10 MHz, spur warning below 1000000 Hz" of the chart shown.
    QString pictureCaption() const;

    Context context_;
    band::Job job_;
    std::optional<band::Request> lastRequest_;
    uint64_t generation_ = 0;  // of the sweep started last: a result of an earlier one is dropped
    QTimer* progress_ = nullptr;
};
