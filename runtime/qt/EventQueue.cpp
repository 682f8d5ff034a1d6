#include "runtime/qt/EventQueue.h"

#include <algorithm>

namespace verdo {

EventQueue::EventQueue(std::function<void(const WindowEvent&)> deliver)
    : deliver_(std::move(deliver)), alive_(std::make_shared<bool>(true)) {}

EventQueue::~EventQueue() { *alive_ = false; }

void EventQueue::Post(const WindowEvent& event) {
    queue_.push_back(event);
    Schedule();
}

void EventQueue::Clear() { queue_.clear(); }

bool EventQueue::Contains(int code) const {
    return std::any_of(queue_.begin(), queue_.end(), [code](const WindowEvent& e) { return e.Code == code; });
}

void EventQueue::Schedule() {
    if (scheduled_ || delivering_ || queue_.empty()) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        &context_,
        [this] {
            scheduled_ = false;
            DeliverNext();
        },
        Qt::QueuedConnection);
}

void EventQueue::DeliverNext() {
    if (delivering_ || queue_.empty()) return;
    WindowEvent event = queue_.front();
    queue_.pop_front();
    delivering_ = true;
    std::shared_ptr<bool> alive = alive_;
    deliver_(event);
    if (!*alive) return;
    delivering_ = false;
    Schedule();
}

}  // namespace verdo
