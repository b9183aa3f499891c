#include "ui/views/kc_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

#include "drawing/figure.h"
#include "ui/views/analysis_labels.h"

namespace trelmox::views {
namespace {

const QColor SafeColour(70, 120, 190);
const QColor FailureColour(210, 60, 50);
const QColor LimitColour(200, 0, 0);

QFont chartFont(int pixelSize, bool bold = false) {
    QFont font(QString::fromUtf8(FigureFontFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QChart* newChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(chartFont(16, true));
    chart->legend()->setFont(chartFont(12));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

QValueAxis* axis(const QString& title, double low, double high) {
    auto* a = new QValueAxis;
    a->setTitleText(title);
    a->setTitleFont(chartFont(13));
    a->setLabelsFont(chartFont(11));
    a->setRange(low, high);
    a->setTickCount(9);
    a->applyNiceNumbers();
    return a;
}

void attach(QChart* chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QLineSeries* limitLine(const QPointF& from, const QPointF& to) {
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("Kc = 1"));
    QPen pen(LimitColour, 2, Qt::DashLine);
    line->setPen(pen);
    line->append(from);
    line->append(to);
    return line;
}

// The histogram's outline between x = from and x = to, as steps.
QLineSeries* stepOutline(const Histogram& histogram, double from, double to) {
    auto* outline = new QLineSeries;
    for (std::size_t i = 0; i < histogram.Counts.size(); ++i) {
        const double left = std::max(histogram.Edges[i], from), right = std::min(histogram.Edges[i + 1], to);
        if (left >= right) continue;
        const double count = static_cast<double>(histogram.Counts[i]);
        if (outline->count() == 0) outline->append(left, 0);
        outline->append(left, count);
        outline->append(right, count);
    }
    if (outline->count() > 0) outline->append(outline->at(outline->count() - 1).x(), 0);
    return outline;
}

// Bars below Kc = 1 in the failure colour, the others in the safe colour.
void addHistogramArea(QChart* chart, const Histogram& histogram, double from, double to, const QString& name,
                      const QColor& colour, QValueAxis* x, QValueAxis* y) {
    QLineSeries* upper = stepOutline(histogram, from, to);
    if (upper->count() == 0) {
        delete upper;
        return;
    }
    auto* area = new QAreaSeries(upper);
    upper->setParent(area);
    area->setName(name);
    area->setColor(colour.lighter(130));
    area->setBorderColor(colour.darker(130));
    attach(chart, area, x, y);
}

} // namespace

QChart* kcHistogramChart(const ProbabilisticResult* result) {
    const bool shown = result && !result->Cancelled && result->Statistics && !result->KcHistogram.Counts.empty();
    QChart* chart = newChart(shown ? QStringLiteral("安全系数 Kc 直方图    P(Kc&lt;1) = %1%")
                                         .arg(QString::number(result->Statistics->Pf * 100, 'f', 2))
                                   : QStringLiteral("安全系数 Kc 直方图（尚未计算）"));
    double low = 0, high = 2, top = 10;
    if (shown) {
        const Histogram& h = result->KcHistogram;
        low = std::min(h.Edges.front(), 0.95);
        high = std::max(h.Edges.back(), 1.05);
        top = std::max<double>(1, static_cast<double>(*std::max_element(h.Counts.begin(), h.Counts.end()))) * 1.08;
    }
    QValueAxis* x = axis(QStringLiteral("安全系数 Kc"), low, high);
    QValueAxis* y = axis(QStringLiteral("样本数"), 0, top);
    y->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    if (shown) {
        addHistogramArea(chart, result->KcHistogram, -1e300, 1, QStringLiteral("Kc &lt; 1（失稳）"), FailureColour, x, y);
        addHistogramArea(chart, result->KcHistogram, 1, 1e300, QStringLiteral("Kc ≥ 1（稳定）"), SafeColour, x, y);
    }
    attach(chart, limitLine({1, 0}, {1, top}), x, y);
    return chart;
}

namespace {

QString statisticsLine(const SafetyStatistics& s) {
    return QStringLiteral("均值 %1    标准差 %2    最小 %3    最大 %4")
        .arg(shortNumber(s.Mean), shortNumber(s.Sd), shortNumber(s.Min), shortNumber(s.Max));
}

QString percent(double fraction) { return QString::number(fraction * 100, 'f', 2) + u'%'; }

// The full factor: its wedges and P(Fs < required) beside P(Fs < 1).
QString fullFactorText(const FullFactorSummary& full) {
    QString text = QStringLiteral("\n%1：实际楔块 %2 个").arg(QString::fromUtf8(ProbabilisticResult::FsMethod)).arg(full.Wedges);
    if (!full.Statistics) return text + QStringLiteral("，无法统计 Fs。");
    return text + QStringLiteral("，P(Fs<%1) = %2，P(Fs<1) = %3\n    %4")
                      .arg(shortNumber(full.RequiredFactor), percent(full.PBelowRequired), percent(full.Statistics->Pf),
                           statisticsLine(*full.Statistics));
}

// The value of Kc, or of Fs, at a step that has one.
std::optional<double> stepFactor(const SensitivityStep& step, bool full) {
    if (full) {
        if (!step.Full || step.Full->Contact == TWedgeContact::NoBlock || step.Full->Contact == TWedgeContact::Unresolved)
            return std::nullopt;
        return step.Full->Factor;
    }
    if (!step.Result || step.Result->Contact == TWedgeContact::NoBlock) return std::nullopt;
    return step.Result->SafetyFactor;
}

// Fs as one dashed curve, broken where the real wedge does not exist.
void addFullFactorCurve(QChart* chart, const std::vector<SensitivityStep>& steps, QValueAxis* x, QValueAxis* y) {
    QLineSeries* run = nullptr;
    bool named = false;
    for (const SensitivityStep& step : steps) {
        const auto factor = stepFactor(step, true);
        if (!factor) {
            run = nullptr;
            continue;
        }
        if (!run) {
            run = new QLineSeries;
            run->setPen(QPen(QColor(120, 60, 170), 2.5, Qt::DashLine));
            run->setName(QStringLiteral("Fs（实际楔块）"));
            attach(chart, run, x, y);
            for (QLegendMarker* marker : chart->legend()->markers(run)) marker->setVisible(!named);
            named = true;
        }
        run->append(step.Value, *factor);
    }
}

} // namespace

QString statisticsText(const ProbabilisticResult& result) {
    if (result.Cancelled) return QStringLiteral("计算已取消。");
    const auto count = [&result](TWedgeContact c) { return result.Contacts[static_cast<int>(c)]; };
    QString text = QStringLiteral("样本 %1 个，切出块体 %2 个（双面接触 %3，单面接触 %4，浮起 %5），不能切出块体 %6，未定 %7，计算失败 %8。")
                       .arg(result.Samples)
                       .arg(result.Wedges)
                       .arg(count(TWedgeContact::BothPlanes))
                       .arg(count(TWedgeContact::FirstPlaneOnly) + count(TWedgeContact::SecondPlaneOnly))
                       .arg(count(TWedgeContact::LiftOff))
                       .arg(count(TWedgeContact::NoBlock))
                       .arg(count(TWedgeContact::Unresolved))
                       .arg(result.Failed);
    const QString kc = QString::fromUtf8(ProbabilisticResult::KcMethod);
    if (!result.Statistics) text += QStringLiteral("\n%1：没有切出块体的样本，无法统计 Kc。").arg(kc);
    else
        text += QStringLiteral("\n%1：P(Kc<1) = %2\n    %3").arg(kc, percent(result.Statistics->Pf), statisticsLine(*result.Statistics));
    return text + fullFactorText(result.Full);
}

std::vector<double> limitCrossings(const std::vector<SensitivityStep>& steps, bool full, double limit) {
    std::vector<double> crossings;
    for (std::size_t i = 1; i < steps.size(); ++i) {
        const auto a = stepFactor(steps[i - 1], full), b = stepFactor(steps[i], full);
        if (!a || !b) continue;
        const double ka = *a - limit, kb = *b - limit;
        if (ka == 0) crossings.push_back(steps[i - 1].Value);
        else if (ka * kb < 0)
            crossings.push_back(steps[i - 1].Value + (steps[i].Value - steps[i - 1].Value) * ka / (ka - kb));
    }
    if (!steps.empty() && stepFactor(steps.back(), full) == limit) crossings.push_back(steps.back().Value);
    return crossings;
}

QChart* sensitivityChart(const std::vector<SensitivityStep>& steps, const QString& parameter,
                         const std::optional<BlockPoint>& block) {
    QChart* chart = newChart(steps.empty() ? QStringLiteral("安全系数 Kc、Fs 与 %1 的关系（尚未计算）").arg(parameter)
                                           : QStringLiteral("安全系数 Kc、Fs 与 %1 的关系").arg(parameter));
    double low = 0, high = 1, top = 2;
    if (!steps.empty()) {
        low = std::min(steps.front().Value, steps.back().Value);
        high = std::max(steps.front().Value, steps.back().Value);
        if (low == high) high = low + 1;
    }
    for (const SensitivityStep& step : steps)
        for (bool full : {false, true})
            if (const auto factor = stepFactor(step, full)) top = std::max(top, *factor * 1.1);
    QValueAxis* x = axis(parameter, low, high);
    QValueAxis* y = axis(QStringLiteral("安全系数"), 0, top);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    // One series per run of steps with the same contact case.
    const QColor caseColours[] = {Qt::gray, SafeColour, QColor(230, 140, 20), QColor(40, 150, 70), Qt::darkGray, Qt::black};
    bool named[ContactCount] = {};
    QLineSeries* run = nullptr;
    TWedgeContact runContact = TWedgeContact::Unresolved;
    for (const SensitivityStep& step : steps) {
        const bool wedge = step.Result && step.Result->Contact != TWedgeContact::NoBlock &&
                           step.Result->Contact != TWedgeContact::Unresolved;
        if (!wedge) {
            run = nullptr;
            continue;
        }
        if (!run || step.Result->Contact != runContact) {
            runContact = step.Result->Contact;
            const int c = static_cast<int>(runContact);
            QLineSeries* next = new QLineSeries;
            next->setPen(QPen(caseColours[c], 2.5));
            next->setName(contactLabel(runContact));
            if (run) next->append(run->at(run->count() - 1)); // no gap where only the case changes
            attach(chart, next, x, y);
            for (QLegendMarker* marker : chart->legend()->markers(next)) marker->setVisible(!named[c]);
            named[c] = true;
            run = next;
        }
        run->append(step.Value, step.Result->SafetyFactor);
    }
    addFullFactorCurve(chart, steps, x, y);
    attach(chart, limitLine({low, 1}, {high, 1}), x, y);
    if (block) {
        auto* marker = new QScatterSeries;
        marker->setName(QStringLiteral("块体取值"));
        marker->setColor(LimitColour);
        marker->setMarkerSize(10);
        marker->append(block->Value, block->SafetyFactor);
        attach(chart, marker, x, y);
    }
    return chart;
}

} // namespace trelmox::views
