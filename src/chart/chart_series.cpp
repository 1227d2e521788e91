#include "chart/chart_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zantrel {

void ChartSeries::AddPoint(double x, double y, const QByteArray& label, uint32_t colour) {
    if (!label.isEmpty()) labels_.emplace_back(PointCount(), label);
    x_.push_back(x);
    y_.push_back(y);
    colour_.push_back(colour);
    notify();
}

void ChartSeries::AddNullPoint(double x, const QByteArray& label) {
    AddPoint(x, std::numeric_limits<double>::quiet_NaN(), label, 0);
}

void ChartSeries::reserve(int n) {
    x_.reserve(n);
    y_.reserve(n);
    colour_.reserve(n);
}

void ChartSeries::ClearPoints() {
    x_.clear();
    y_.clear();
    colour_.clear();
    labels_.clear();
    ++generation_;
    notify();
}

bool ChartSeries::isNull(int i) const {
    return std::isnan(y_[i]);
}

QByteArray ChartSeries::label(int i) const {
    const auto it =
        std::lower_bound(labels_.begin(), labels_.end(), i,
                         [](const auto& entry, int index) { return entry.first < index; });
    return it != labels_.end() && it->first == i ? it->second : QByteArray();
}

} // namespace zantrel
