#include "ui/band_chart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr std::array<QRgb, BandChart::kMostCurves> kColours{0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7,
                                                            0xE69F00, 0x56B4E9, 0x000000, 0x999933};
const QColor kGrid(0xE4, 0xE4, 0xE4), kFrame(0x80, 0x80, 0x80), kThreshold(0xC0, 0x00, 0x00), kMark(0x70, 0x70, 0x70);
constexpr double kGap = 8;  // between labels, and around the curves
// A legend entry: its line, the gap to its name, and the gap to the next entry.
constexpr double kSample = 16, kSampleGap = 4, kEntryGap = 10;

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

struct LegendEntry {
    QString name;
    QPen pen;
    QPointF at;  // the left end of its line, on the middle of its text line
};

struct BandChart::Frame {
    QRectF plot;           // the curves' area
    double left = 0;       // of the whole chart
    double headerTop = 0;  // the title's line, where the legend starts
    QString title;
    std::vector<LegendEntry> legend;
    int legendRows = 1;      // lines of the title and the legend
    int markRows = 0;        // lines of channel labels under them
    std::vector<int> rowOf;  // each mark's line
    band::Range x, y;
    bool log = true;
    band::Ticks xTicks, yTicks;

    double px(double mhz) const { return plot.left() + (mhz - x.lo) / (x.hi - x.lo) * plot.width(); }
    double py(double v) const {
        const double f = log ? (std::log10(v) - std::log10(y.lo)) / (std::log10(y.hi) - std::log10(y.lo))
                             : (v - y.lo) / (y.hi - y.lo);
        return plot.bottom() - f * plot.height();
    }
};

struct BandChart::Drawing {
    QRectF area;
    Frame frame;
    std::vector<std::vector<QPolygonF>> lines;         // per curve, broken where a value is missing
    std::vector<std::vector<QPolygonF>> nearestLines;  // the same of the nearest word's, in the error view
    bool smooth = true;  // antialiased: not where many points share a column, whose zigzag it makes slow
};

BandChart::BandChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor BandChart::curveColour(int curve) { return QColor(kColours[static_cast<size_t>(curve) % kColours.size()]); }

void BandChart::setResult(std::shared_ptr<const band::Result> result) {
    result_ = std::move(result);
    drawing_.reset();
    index_ = -1;
    curve_ = -1;
    update();
}

void BandChart::setView(band::View view) {
    view_ = view;
    drawing_.reset();
    update();
}

void BandChart::setMarks(std::vector<band::ChannelMark> marks) {
    marks_ = std::move(marks);
    drawing_.reset();
    update();
}

void BandChart::setPlaceholder(const QString& text) {
    placeholder_ = text;
    update();
}

void BandChart::choose(int64_t index, int curve) {
    if (!result_ || curve < 0 || curve >= static_cast<int>(result_->curves.size())) return;
    index_ = std::clamp<int64_t>(index, 0, result_->request.inputs.steps.count() - 1);
    curve_ = curve;
    update();
    emit pointChosen(index_, curve_);
}

double BandChart::valueAt(int curve, int64_t index, bool nearest) const {
    const band::Curve& c = result_->curves[static_cast<size_t>(curve)];
    if (view_ == band::View::Spur) return c.spurHz[static_cast<size_t>(index)];
    return (nearest ? c.nearestErrorHz : c.errorHz)[static_cast<size_t>(index)];
}

BandChart::Frame BandChart::frameIn(const QRectF& area, const QFontMetricsF& fm) const {
    Frame f;
    f.log = view_ == band::View::Spur;
    f.x = band::outputRange(*result_);
    f.y = f.log ? band::spurRange(*result_) : band::errorRange(*result_);
    // Channel labels on as few lines as keep them apart, each on the first line with room.
    const double lh = fm.height(), labelWidth = fm.horizontalAdvance(QStringLiteral("ch0")) + 4;
    std::vector<double> rowEnds;
    const double roughLeft = area.left() + 48, roughWidth = area.width() - 48 - kGap;
    for (const band::ChannelMark& m : marks_) {
        const double at = roughLeft + (m.mhz - f.x.lo) / (f.x.hi - f.x.lo) * roughWidth - labelWidth / 2;
        size_t row = 0;
        while (row < rowEnds.size() && rowEnds[row] > at) ++row;
        if (row == rowEnds.size()) rowEnds.push_back(0);
        rowEnds[row] = at + labelWidth;
        f.rowOf.push_back(static_cast<int>(row));
    }
    f.markRows = static_cast<int>(rowEnds.size());
    f.left = area.left() + 2;
    f.headerTop = area.top() + 1;
    // The title, then each curve's entry and the dashes' meaning, wrapped onto more lines where
    // the width ends: every curve keeps its entry.
    f.title = f.log ? QStringLiteral("Spur offset (Hz) by output (MHz)") : QStringLiteral("Error (Hz) by output (MHz)");
    std::vector<std::pair<QString, QPen>> entries;
    for (size_t c = 0; c < result_->curves.size(); ++c)
        entries.emplace_back(QStringLiteral("R %1").arg(result_->curves[c].r),
                             QPen(curveColour(static_cast<int>(c)), 2.5));
    if (f.log && result_->request.thresholdHz > 0)
        entries.emplace_back(QStringLiteral("warning below"), QPen(kThreshold, 1.5, Qt::DashLine));
    if (!f.log) entries.emplace_back(QStringLiteral("nearest word"), QPen(kFrame, 1.5, Qt::DashLine));
    double x = f.left + fm.horizontalAdvance(f.title) + 2 * kGap;
    int row = 0;
    for (auto& [name, pen] : entries) {
        const double width = kSample + kSampleGap + fm.horizontalAdvance(name);
        if (x + width > area.right() - 2 && x > f.left) {
            ++row;
            x = f.left;
        }
        f.legend.push_back({name, pen, QPointF(x, f.headerTop + (row + 0.5) * lh)});
        x += width + kEntryGap;
    }
    f.legendRows = row + 1;
    // The x labels start where the lowest y label, centred on the plot's bottom, ends; the
    // highest, centred on its top, keeps clear of the lines above.
    const double top = f.headerTop + f.legendRows * lh + 3 + f.markRows * lh + lh / 2,
                 bottom = area.bottom() - 1.5 * lh - 3;
    const auto height = [&](const std::string&) { return lh; };
    f.yTicks = f.log ? band::logTicks(f.y.lo, f.y.hi, bottom - top, lh)
                     : band::linearTicks(f.y.lo, f.y.hi, bottom - top, band::TickText::Hertz, height, 2);
    double widest = 0;
    for (const std::string& l : f.yTicks.labels) widest = std::max(widest, fm.horizontalAdvance(qs(l)));
    // Room on the right for half of a label centred on the plot's right edge.
    const double halfLabel = fm.horizontalAdvance(QStringLiteral("00000.0")) / 2;
    f.plot = QRectF(QPointF(area.left() + widest + 6, top), QPointF(area.right() - halfLabel, bottom));
    const auto width = [&](const std::string& l) { return fm.horizontalAdvance(qs(l)); };
    f.xTicks = band::linearTicks(f.x.lo, f.x.hi, f.plot.width(), band::TickText::Megahertz, width, 2 * kGap);
    return f;
}

void BandChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    draw(painter, rect(), true);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

double BandChart::captionHeight() const { return QFontMetricsF(font()).height() + 4; }

void BandChart::render(QPainter& painter, const QRectF& area, const QString& caption) const {
    const QRectF chartArea = area.adjusted(0, 0, 0, -captionHeight());
    draw(painter, chartArea, false);
    const QRectF line(area.left(), chartArea.bottom(), area.width(), area.bottom() - chartArea.bottom());
    painter.fillRect(line, Qt::white);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(line.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, caption);
}

void BandChart::draw(QPainter& painter, const QRectF& area, bool chosen) const {
    painter.fillRect(area, Qt::white);
    painter.setFont(font());
    const QFontMetricsF fm(font());
    if (!result_) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
        return;
    }
    const Drawing& d = drawingFor(area);
    const Frame& f = d.frame;
    drawAxes(painter, f, fm);
    drawHeader(painter, f, fm);
    painter.save();
    painter.setClipRect(f.plot.adjusted(-1, -1, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing, d.smooth);
    const auto drawCurves = [&](const std::vector<std::vector<QPolygonF>>& curves, Qt::PenStyle style) {
        for (size_t c = 0; c < curves.size(); ++c) {
            painter.setPen(QPen(curveColour(static_cast<int>(c)), 1.5, style));
            for (const QPolygonF& line : curves[c])
                if (line.size() == 1)
                    painter.drawPoint(line.front());
                else
                    painter.drawPolyline(line);
        }
    };
    drawCurves(d.lines, Qt::SolidLine);
    drawCurves(d.nearestLines, Qt::DashLine);
    if (f.log && result_->request.thresholdHz > 0) {  // over the curves: what they are read against
        const double y = f.py(static_cast<double>(result_->request.thresholdHz));
        painter.setPen(QPen(kThreshold, 1.5, Qt::DashLine));
        painter.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
    }
    if (chosen && index_ >= 0) {
        const double v = valueAt(curve_, index_);
        const double x = f.px(result_->request.inputs.steps.megahertz(index_));
        painter.setPen(QPen(kMark, 1, Qt::DotLine));
        painter.drawLine(QPointF(x, f.plot.top()), QPointF(x, f.plot.bottom()));
        if (!std::isnan(v) && (!f.log || v > 0)) {
            painter.setPen(QPen(curveColour(curve_), 2));
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPointF(x, f.py(v)), 4, 4);
        }
    }
    painter.restore();
}

void BandChart::drawAxes(QPainter& painter, const Frame& f, const QFontMetricsF& fm) const {
    painter.fillRect(f.plot, Qt::white);
    const QColor text = palette().color(QPalette::WindowText);
    for (size_t i = 0; i < f.yTicks.values.size(); ++i) {
        const double y = f.py(f.yTicks.values[i]);
        if (y < f.plot.top() - 0.5 || y > f.plot.bottom() + 0.5) continue;
        painter.setPen(kGrid);
        painter.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
        painter.setPen(text);
        const QString label = qs(f.yTicks.labels[i]);
        painter.drawText(QRectF(f.plot.left() - 4 - 200, y - fm.height() / 2, 200, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
    for (size_t i = 0; i < f.xTicks.values.size(); ++i) {
        const double x = f.px(f.xTicks.values[i]);
        painter.setPen(kGrid);
        painter.drawLine(QPointF(x, f.plot.top()), QPointF(x, f.plot.bottom()));
        painter.setPen(text);
        const QString label = qs(f.xTicks.labels[i]);
        const double w = fm.horizontalAdvance(label);
        painter.drawText(QRectF(x - w / 2, f.plot.bottom() + fm.height() / 2 + 1, w, fm.height()), Qt::AlignCenter,
                         label);
    }
    painter.setPen(kFrame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(f.plot);
    if (!f.log) {
        const double y = f.py(0);
        painter.setPen(QPen(kFrame, 1));
        painter.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
    }
    for (size_t i = 0; i < marks_.size(); ++i) {
        const double x = f.px(marks_[i].mhz);
        painter.setPen(QPen(kMark, 1, Qt::DashLine));
        painter.drawLine(QPointF(x, f.plot.top() - (f.markRows - f.rowOf[i] - 0.5) * fm.height()),
                         QPointF(x, f.plot.bottom()));
    }
}

void BandChart::drawHeader(QPainter& painter, const Frame& f, const QFontMetricsF& fm) const {
    const QColor text = palette().color(QPalette::WindowText);
    painter.setPen(text);
    painter.drawText(QPointF(f.left, f.headerTop + fm.ascent()), f.title);
    // Each entry: a line as its curve is drawn, then its name.
    for (const LegendEntry& e : f.legend) {
        painter.setPen(e.pen);
        painter.drawLine(e.at, e.at + QPointF(kSample, 0));
        painter.setPen(text);
        painter.drawText(QPointF(e.at.x() + kSample + kSampleGap, e.at.y() - fm.height() / 2 + fm.ascent()), e.name);
    }
    const double rowsTop = f.headerTop + f.legendRows * fm.height() + 2;
    for (size_t i = 0; i < marks_.size(); ++i) {
        const QString label = QStringLiteral("ch%1").arg(marks_[i].channel);
        const double w = fm.horizontalAdvance(label), x = f.px(marks_[i].mhz);
        const double left = std::clamp(x - w / 2, f.plot.left() - 20, f.plot.right() + kGap - w);
        painter.drawText(QPointF(left, rowsTop + f.rowOf[i] * fm.height() + fm.ascent()), label);
    }
}

const BandChart::Drawing& BandChart::drawingFor(const QRectF& area) const {
    if (!drawing_ || drawing_->area != area) {
        Frame f = frameIn(area, QFontMetricsF(font()));
        auto lines = curveLines(f, false);
        auto nearestLines = f.log ? std::vector<std::vector<QPolygonF>>{} : curveLines(f, true);
        const double perColumn = static_cast<double>(result_->request.inputs.steps.count()) / f.plot.width();
        const bool smooth = perColumn < 8;
        drawing_ = std::make_shared<const Drawing>(
            Drawing{area, std::move(f), std::move(lines), std::move(nearestLines), smooth});
    }
    return *drawing_;
}

// Each curve through its points; where more points than pixels fall on a column, the column
// shows their lowest and highest, so no spike is lost to thinning.
std::vector<std::vector<QPolygonF>> BandChart::curveLines(const Frame& f, bool nearest) const {
    const planning::SweepSteps& steps = result_->request.inputs.steps;
    std::vector<std::vector<QPolygonF>> curves;
    for (int c = 0; c < static_cast<int>(result_->curves.size()); ++c) {
        std::vector<QPolygonF>& lines = curves.emplace_back();
        QPolygonF line;
        double column = -1, lo = 0, hi = 0, last = 0;
        const auto closeColumn = [&] {
            if (column >= 0 && hi > lo) line << QPointF(column, lo) << QPointF(column, hi) << QPointF(column, last);
        };
        for (int64_t i = 0; i < steps.count(); ++i) {
            const double v = valueAt(c, i, nearest);
            if (std::isnan(v) || (f.log && v <= 0)) {
                closeColumn();
                column = -1;
                if (!line.isEmpty()) lines.push_back(std::exchange(line, {}));
                continue;
            }
            const double x = f.px(steps.megahertz(i)), y = f.py(v), at = std::floor(x);
            if (at == column) {
                lo = std::min(lo, y);
                hi = std::max(hi, y);
                last = y;
                continue;
            }
            closeColumn();
            line << QPointF(x, y);
            column = at;
            lo = hi = last = y;
        }
        closeColumn();
        if (!line.isEmpty()) lines.push_back(std::move(line));
    }
    return curves;
}

void BandChart::chooseAt(const QPointF& pos) {
    if (!result_) return;
    const Frame& f = drawingFor(rect()).frame;
    const double mhz = f.x.lo + (pos.x() - f.plot.left()) / f.plot.width() * (f.x.hi - f.x.lo);
    const int64_t index = band::nearestOutput(result_->request.inputs.steps, mhz);
    int best = curve_ < 0 ? 0 : curve_;
    double nearest = INFINITY;
    for (int c = 0; c < static_cast<int>(result_->curves.size()); ++c) {
        const double v = valueAt(c, index);
        if (std::isnan(v) || (f.log && v <= 0)) continue;
        if (const double d = std::fabs(f.py(v) - pos.y()); d < nearest) {
            nearest = d;
            best = c;
        }
    }
    if (index != index_ || best != curve_) choose(index, best);
}

void BandChart::mouseMoveEvent(QMouseEvent* event) { chooseAt(event->position()); }

void BandChart::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    chooseAt(event->position());
}

void BandChart::keyPressEvent(QKeyEvent* event) {
    if (!result_) return QWidget::keyPressEvent(event);
    const int64_t count = result_->request.inputs.steps.count(), page = std::max<int64_t>(1, count / 20);
    const int curves = static_cast<int>(result_->curves.size());
    const int64_t index = index_ < 0 ? 0 : index_;
    const int curve = curve_ < 0 ? 0 : curve_;
    switch (event->key()) {
        case Qt::Key_Left: choose(index_ < 0 ? 0 : index - 1, curve); break;
        case Qt::Key_Right: choose(index_ < 0 ? 0 : index + 1, curve); break;
        case Qt::Key_PageDown: choose(index - page, curve); break;
        case Qt::Key_PageUp: choose(index + page, curve); break;
        case Qt::Key_Home: choose(0, curve); break;
        case Qt::Key_End: choose(count - 1, curve); break;
        case Qt::Key_Up: choose(index, (curve + 1) % curves); break;
        case Qt::Key_Down: choose(index, (curve + curves - 1) % curves); break;
        default: return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void BandChart::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void BandChart::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
