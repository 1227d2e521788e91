#pragma once

#include "core/observable.h"

#include <QByteArray>
#include <cstdint>
#include <utility>
#include <vector>

namespace zantrel {

inline constexpr uint32_t kRed = 0xFF0000;
inline constexpr uint32_t kBlue = 0x0000FF;
inline constexpr uint32_t kSilver = 0xC0C0C0;
inline constexpr uint32_t kGrey = 0x808080;

// The points of one chart line: x a date-time, y a value (NaN for a null point, which is
// not drawn and breaks the line), a colour per point (the segment leading to a point takes
// its colour) and an optional label. Stored column-wise so a million points stay compact;
// labels are rare and kept apart. Views follow it through generation() (bumped by
// ClearPoints) and PointCount().
class ChartSeries : public Observable {
  public:
    void AddPoint(double x, double y, const QByteArray& label, uint32_t colour);
    void AddNullPoint(double x, const QByteArray& label);
    void ClearPoints();
    // Makes room for n points in all, so that a whole store is drawn without regrowing.
    void reserve(int n);
    int PointCount() const { return static_cast<int>(x_.size()); }

    double x(int i) const { return x_[i]; }
    double y(int i) const { return y_[i]; }
    bool isNull(int i) const;
    uint32_t colour(int i) const { return colour_[i]; }
    QByteArray label(int i) const;
    // Labelled points in index order.
    const std::vector<std::pair<int, QByteArray>>& labels() const { return labels_; }
    uint64_t generation() const { return generation_; }

  private:
    std::vector<double> x_, y_;
    std::vector<uint32_t> colour_;
    std::vector<std::pair<int, QByteArray>> labels_;
    uint64_t generation_ = 0;
};

} // namespace zantrel
