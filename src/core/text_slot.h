#pragma once

#include "core/observable.h"

#include <QByteArray>
#include <functional>
#include <mutex>

namespace zantrel {

// A named text of the session (Latin-1). Assigning a different text runs the change
// handler at once on the same thread; assigning the same text runs nothing; appending
// always runs it. Only the main thread writes; text() is safe from any thread.
class TextSlot : public Observable {
  public:
    explicit TextSlot(QByteArray initial = {}) : text_(std::move(initial)) {}
    TextSlot(const TextSlot&) = delete;
    TextSlot& operator=(const TextSlot&) = delete;

    QByteArray text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }
    bool isEmpty() const {
        std::lock_guard lock(mutex_);
        return text_.isEmpty();
    }
    qsizetype length() const {
        std::lock_guard lock(mutex_);
        return text_.size();
    }

    void setText(const QByteArray& text) {
        {
            std::lock_guard lock(mutex_);
            if (text_ == text) return;
            text_ = text;
        }
        changed();
    }
    void append(const QByteArray& more) {
        {
            std::lock_guard lock(mutex_);
            text_.append(more);
        }
        changed();
    }
    void clear() { setText({}); }

    std::function<void()> onChange;

  private:
    void changed() {
        notify();
        if (onChange) onChange();
    }

    mutable std::mutex mutex_;
    QByteArray text_;
};

} // namespace zantrel
