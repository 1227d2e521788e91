#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace zantrel {

// Runs operations that a background thread hands to the main thread, one at a time, at
// the top of the main event loop, while the background thread waits for them.
// Hand-offs are held while a modal dialog is open (between beginModal and endModal), so
// no handler is ever entered twice. A waiting thread whose stop flag is raised gets its
// pending hand-off cancelled and returns at once; one already running is waited for.
class HandoffQueue : public QObject {
    Q_OBJECT
  public:
    explicit HandoffQueue(QObject* parent = nullptr);

    // Background thread: run fn on the main thread on behalf of owner and wait.
    // Returns false when the hand-off was cancelled because stop became true.
    bool run(const void* owner, std::function<void()> fn, const std::atomic<bool>& stop);
    // Wakes waiting threads so they look at their stop flags again.
    void wakeWaiters();

    // Main thread.
    void beginModal();
    void endModal();
    // The owner whose hand-off is running right now, or nullptr.
    const void* runningOwner() const;

  private:
    enum class Stage { Pending, Running, Done, Cancelled };
    struct Task {
        const void* owner;
        std::function<void()> fn;
        // The waiting thread's stop flag; only read while the task is pending, when that
        // thread still waits and so its flag exists.
        const std::atomic<bool>* stop;
        Stage stage = Stage::Pending;
    };

    void post();
    void drain();

    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::deque<std::shared_ptr<Task>> queue_;
    const void* running_ = nullptr;
    int modalDepth_ = 0;
};

// Marks a modal dialog open for the lifetime of the scope.
class ModalScope {
  public:
    explicit ModalScope(HandoffQueue& queue) : queue_(queue) { queue_.beginModal(); }
    ~ModalScope() { queue_.endModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    HandoffQueue& queue_;
};

} // namespace zantrel
