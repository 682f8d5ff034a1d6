#pragma once
#include <QObject>
#include <deque>
#include <functional>
#include <memory>

#include "runtime/window/Window.h"

namespace verdo {

// A window's events in the order they were posted, delivered one at a time from the
// GUI thread's event loop, whichever loop is spinning. While one delivery runs (and
// perhaps spins a nested loop of its own), the next waits until it has returned.
class EventQueue {
public:
    explicit EventQueue(std::function<void(const WindowEvent&)> deliver);
    ~EventQueue();
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    void Post(const WindowEvent& event);
    // Drops the events not yet delivered.
    void Clear();
    bool Contains(int code) const;
    bool IsDelivering() const { return delivering_; }

private:
    void Schedule();
    void DeliverNext();

    std::function<void(const WindowEvent&)> deliver_;
    std::deque<WindowEvent> queue_;
    bool scheduled_ = false;
    bool delivering_ = false;
    // Cleared when the queue goes away in the middle of a delivery.
    std::shared_ptr<bool> alive_;
    QObject context_;  // pending deliveries go with it
};

}  // namespace verdo
