#pragma once
#include <QResizeEvent>
#include <QWidget>
#include <functional>

namespace verdo {

// The area the controls of a window are placed on, sized in dialog units.
class ClientArea final : public QWidget {
public:
    using QWidget::QWidget;
    void SetHint(QSize hint) {
        hint_ = hint;
        updateGeometry();
    }
    QSize sizeHint() const override { return hint_; }
    std::function<void(QSize)> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (OnResize) OnResize(event->size());
    }

private:
    QSize hint_;
};

}  // namespace verdo
