#include "core/handoff_queue.h"

#include <QMetaObject>

namespace zantrel {

HandoffQueue::HandoffQueue(QObject* parent) : QObject(parent) {}

bool HandoffQueue::run(const void* owner, std::function<void()> fn, const std::atomic<bool>& stop) {
    auto task = std::make_shared<Task>(Task{owner, std::move(fn), &stop});
    {
        std::lock_guard lock(mutex_);
        if (stop.load()) return false;
        queue_.push_back(task);
    }
    post();
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] {
        return task->stage == Stage::Done || (task->stage == Stage::Pending && stop.load());
    });
    if (task->stage == Stage::Done) return true;
    task->stage = Stage::Cancelled;
    return false;
}

void HandoffQueue::wakeWaiters() {
    std::lock_guard lock(mutex_);
    done_.notify_all();
}

void HandoffQueue::beginModal() {
    std::lock_guard lock(mutex_);
    ++modalDepth_;
}

void HandoffQueue::endModal() {
    bool pending;
    {
        std::lock_guard lock(mutex_);
        --modalDepth_;
        pending = modalDepth_ == 0 && !queue_.empty();
    }
    if (pending) post();
}

const void* HandoffQueue::runningOwner() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void HandoffQueue::post() {
    QMetaObject::invokeMethod(this, &HandoffQueue::drain, Qt::QueuedConnection);
}

void HandoffQueue::drain() {
    for (;;) {
        std::shared_ptr<Task> task;
        {
            std::lock_guard lock(mutex_);
            if (modalDepth_ > 0 || running_ != nullptr) return;
            while (!queue_.empty() && !task) {
                task = queue_.front();
                queue_.pop_front();
                // A stop raised since it was queued cancels it, even before the waiting
                // thread has woken to see the stop itself.
                if (task->stage != Stage::Pending || task->stop->load()) task.reset();
            }
            if (!task) return;
            task->stage = Stage::Running;
            running_ = task->owner;
        }
        task->fn();
        std::lock_guard lock(mutex_);
        task->stage = Stage::Done;
        running_ = nullptr;
        done_.notify_all();
    }
}

} // namespace zantrel
