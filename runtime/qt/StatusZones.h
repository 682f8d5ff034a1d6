#pragma once
#include <QString>
#include <vector>

class QLabel;
class QStatusBar;

namespace verdo {

class DialogUnits;

// The zones of a status bar. The first zone shows, by priority, the message of the
// highlighted menu item or pointed-at button, then the message of the focused
// control, then the text last set for it.
class StatusZones {
public:
    // Widths in dialog units; -1 is the zone that takes the remaining width.
    StatusZones(QStatusBar* bar, const std::vector<int>& widths, const DialogUnits& units);

    int Count() const { return static_cast<int>(labels_.size()); }
    void SetText(int zone, const QString& text);  // zones from 1
    QString Text(int zone) const;
    void ShowTransient(const QString& message);   // empty: back to the resting text
    void SetFocusMessage(const QString& message);

private:
    void RefreshFirst();

    std::vector<QLabel*> labels_;  // owned by the status bar
    QString base_;
    QString focus_;
    QString transient_;
};

}  // namespace verdo
