#pragma once

#include "core/observable.h"

#include <QByteArray>
#include <atomic>

namespace zantrel {

// The observable state of one visible control or menu item: enabled, visible, checked,
// caption text and a numeric value (a date-time for pickers, the item index for the
// radio group). Setting a property to what it holds notifies nobody. The reader thread
// may read checked(); everything else belongs to the main thread.
class Control : public Observable {
  public:
    explicit Control(QByteArray text = {}, bool enabled = true, bool visible = true,
                     bool checked = false)
        : text_(std::move(text)), enabled_(enabled), visible_(visible), checked_(checked) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }
    bool checked() const { return checked_.load(std::memory_order_acquire); }
    const QByteArray& text() const { return text_; }
    double value() const { return value_; }

    void setEnabled(bool on) { update(enabled_, on); }
    void setVisible(bool on) { update(visible_, on); }
    void setChecked(bool on) {
        if (checked_.exchange(on, std::memory_order_acq_rel) != on) notify();
    }
    void setText(const QByteArray& text) { update(text_, text); }
    void setValue(double value) { update(value_, value); }

  private:
    template <typename T, typename U> void update(T& field, const U& value) {
        if (field == value) return;
        field = value;
        notify();
    }

    QByteArray text_;
    bool enabled_;
    bool visible_;
    std::atomic<bool> checked_;
    double value_ = 0;
};

} // namespace zantrel
