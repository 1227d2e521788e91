#pragma once

#include <qcustomplot.h>

#include <vector>

namespace zantrel {

// The horizontal extent of a label on screen and how many lines it has.
struct LabelSpan {
    double left = 0;
    double right = 0;
    int lines = 1;
};

// How many lines each label is raised so that no two labels that meet side by side share a
// line: each label, from left to right, takes the lowest place that clears every label
// placed before it. A label that finds no place within maxLines stays on the axis.
std::vector<int> StaggerLabels(const std::vector<LabelSpan>& spans, int maxLines);

// The top axis' ticker: the event marks at their times. Marks that would print over each
// other are staggered upwards, whole lines at a time, each keeping its text.
class MarkTicker : public QCPAxisTickerText {
  public:
    explicit MarkTicker(QCPAxis* axis) : axis_(axis) {}

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks,
                  QVector<QString>* tickLabels) override;

    // The text of a label as generate() left it: the mark and the blank lines under it.
    static QString raisedLabel(const QString& text, int lines);

  private:
    QCPAxis* axis_;
};

} // namespace zantrel
