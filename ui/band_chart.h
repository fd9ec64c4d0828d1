#pragma once
// The "Band" page's chart, drawn with QPainter: output across, the spur offset up on a
// logarithmic scale (or the error, linear, the nearest word's dashed beside the window search's),
// a curve per R in a colour of its own with a legend that wraps onto as many lines as it needs,
// the spur warning threshold as a line and the table's channels as marks. Pointing at it or moving along it with
// the arrow keys (Up and Down change the curve) chooses a point. All of the drawing is here.
#include <QWidget>
#include <memory>
#include <vector>

#include "band/band_model.h"

class BandChart : public QWidget {
    Q_OBJECT
public:
    explicit BandChart(QWidget* parent = nullptr);

    void setResult(std::shared_ptr<const band::Result> result);
    void setView(band::View view);
    void setMarks(std::vector<band::ChannelMark> marks);
    // What the chart says while it has no curves ("Press Plot …", "Computing …").
    void setPlaceholder(const QString& text);
    // The chosen point: an output's index and a curve's; -1 for none.
    void choose(int64_t index, int curve);

    int64_t chosenIndex() const { return index_; }
    int chosenCurve() const { return curve_; }
    const std::shared_ptr<const band::Result>& result() const { return result_; }
    band::View view() const { return view_; }

    // The chart as it looks, without the chosen point, into any device (PNG, SVG), with caption
    // on a line under it.
    void render(QPainter& painter, const QRectF& area, const QString& caption) const;
    // How much higher than the chart a caption makes the picture.
    double captionHeight() const;

    // Distinct colours, told apart also by people who do not see red and green apart: as many
    // curves as the chart draws at most.
    static QColor curveColour(int curve);
    static constexpr int kMostCurves = 8;

signals:
    void pointChosen(qint64 index, int curve);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Where the curves go in area, and how values map into it.
    struct Frame;
    Frame frameIn(const QRectF& area, const QFontMetricsF& fm) const;
    // A frame and the curves' lines in it, worked out once for a size: pointing and painting
    // again cost nothing per point of the sweep.
    struct Drawing;
    const Drawing& drawingFor(const QRectF& area) const;
    void draw(QPainter& painter, const QRectF& area, bool chosen) const;
    std::vector<std::vector<QPolygonF>> curveLines(const Frame& f, bool nearest) const;
    void drawAxes(QPainter& painter, const Frame& f, const QFontMetricsF& fm) const;
    void drawHeader(QPainter& painter, const Frame& f, const QFontMetricsF& fm) const;
    void chooseAt(const QPointF& pos);
    double valueAt(int curve, int64_t index, bool nearest = false) const;

    std::shared_ptr<const band::Result> result_;
    band::View view_ = band::View::Spur;
    std::vector<band::ChannelMark> marks_;
    QString placeholder_;
    mutable std::shared_ptr<const Drawing> drawing_;  // of the last size drawn; reset by every change
    int64_t index_ = -1;
    int curve_ = -1;
};
