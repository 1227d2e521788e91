#include "plot/mark_ticker.h"

#include <algorithm>

namespace zantrel {

namespace {

// Room kept free between two labels side by side, in pixels.
constexpr double kLabelGap = 4;
// Lines the stacked marks may take above the axis.
constexpr int kMaxLabelLines = 8;
// A line under a raised label: a no-break space, so the line keeps its height.
const QString kBlankLine = QStringLiteral("\n\u00a0");

bool SideBySide(const LabelSpan& a, const LabelSpan& b) {
    return a.left < b.right && b.left < a.right;
}

bool SharesALine(int raisedA, int linesA, int raisedB, int linesB) {
    return raisedA < raisedB + linesB && raisedB < raisedA + linesA;
}

} // namespace

std::vector<int> StaggerLabels(const std::vector<LabelSpan>& spans, int maxLines) {
    std::vector<std::size_t> order(spans.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&spans](std::size_t a, std::size_t b) {
        return spans[a].left < spans[b].left;
    });

    std::vector<int> raised(spans.size(), 0);
    std::vector<std::size_t> open; // placed labels that may still meet the ones to come
    for (const std::size_t i : order) {
        const LabelSpan& span = spans[i];
        std::erase_if(open, [&](std::size_t j) { return spans[j].right <= span.left; });
        // The lowest place is on the axis or just above a label it meets.
        std::vector<int> places{0};
        for (const std::size_t j : open)
            if (SideBySide(span, spans[j])) places.push_back(raised[j] + spans[j].lines);
        std::sort(places.begin(), places.end());
        for (const int place : places) {
            if (place + span.lines > maxLines) break;
            const bool clear = std::none_of(open.begin(), open.end(), [&](std::size_t j) {
                return SideBySide(span, spans[j]) &&
                       SharesALine(place, span.lines, raised[j], spans[j].lines);
            });
            if (clear) {
                raised[i] = place;
                break;
            }
        }
        open.push_back(i);
    }
    return raised;
}

QString MarkTicker::raisedLabel(const QString& text, int lines) {
    return text + kBlankLine.repeated(lines);
}

void MarkTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar,
                          int precision, QVector<double>& ticks, QVector<double>* subTicks,
                          QVector<QString>* tickLabels) {
    QCPAxisTickerText::generate(range, locale, formatChar, precision, ticks, subTicks, tickLabels);
    if (!tickLabels || tickLabels->size() != ticks.size()) return;
    const QFontMetrics metrics(axis_->tickLabelFont());
    std::vector<LabelSpan> spans;
    spans.reserve(ticks.size());
    for (int i = 0; i < ticks.size(); ++i) {
        const QString& text = tickLabels->at(i);
        const double x = axis_->coordToPixel(ticks[i]);
        const double half =
            metrics.boundingRect(QRect(), Qt::TextDontClip | Qt::AlignHCenter, text).width() / 2.0 +
            kLabelGap / 2;
        spans.push_back({x - half, x + half, static_cast<int>(text.count('\n')) + 1});
    }
    const std::vector<int> raised = StaggerLabels(spans, kMaxLabelLines);
    for (int i = 0; i < ticks.size(); ++i)
        if (raised[i] > 0) (*tickLabels)[i] = raisedLabel(tickLabels->at(i), raised[i]);
}

} // namespace zantrel
