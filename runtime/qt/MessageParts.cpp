#include "runtime/qt/MessageParts.h"

#include <bit>
#include <vector>

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QPushButton>
#include <QStyle>

#include "runtime/window/MessageDialog.h"

namespace verdo {

QString MessageLines(const std::string& text) {
    QString lines = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    lines.replace(QLatin1Char('|'), QLatin1Char('\n'));
    return lines;
}

QPixmap MessageIconPixmap(int icon) {
    QStyle::StandardPixmap picture;
    switch (icon) {
        case IconQuestion: picture = QStyle::SP_MessageBoxQuestion; break;
        case IconExclamation: picture = QStyle::SP_MessageBoxWarning; break;
        case IconInformation: picture = QStyle::SP_MessageBoxInformation; break;
        default: return {};
    }
    QStyle* style = QApplication::style();
    int size = style->pixelMetric(QStyle::PM_MessageBoxIconSize);
    return style->standardIcon(picture).pixmap(size, size);
}

unsigned ShownButtons(unsigned buttons) {
    unsigned known = buttons & 0xFFu;
    return known ? known : static_cast<unsigned>(ButtonOk);
}

unsigned ShownDefault(unsigned buttons, unsigned defaultButton) {
    unsigned shown = ShownButtons(buttons);
    if (std::has_single_bit(defaultButton) && (shown & defaultButton)) return defaultButton;
    return shown & (~shown + 1);
}

unsigned CloseAnswer(unsigned buttons, unsigned defaultButton) {
    unsigned shown = ShownButtons(buttons);
    for (unsigned bit : {ButtonCancel, ButtonNo, ButtonOk})
        if (shown & bit) return bit;
    return ShownDefault(buttons, defaultButton);
}

QPushButton* AnswerButton(QDialog& dialog, unsigned bit, const std::string& caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption.c_str()), &dialog);
    QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, bit] { dialog.done(static_cast<int>(bit)); });
    return button;
}

unsigned RunAnswered(QDialog& dialog, QPushButton* defaultButton, const MessageRequest& request) {
    if (defaultButton) {
        defaultButton->setDefault(true);
        defaultButton->setFocus(Qt::OtherFocusReason);
    }
    // A question is answered with the ordinary pointer, whatever work waits behind it;
    // the wait cursor comes back when the answer is in.
    std::vector<QCursor> waiting;
    while (const QCursor* cursor = QApplication::overrideCursor()) {
        waiting.push_back(*cursor);
        QApplication::restoreOverrideCursor();
    }
    int answer = dialog.exec();
    for (auto it = waiting.rbegin(); it != waiting.rend(); ++it) QApplication::setOverrideCursor(*it);
    return answer > 0 ? static_cast<unsigned>(answer) : CloseAnswer(request.Buttons, request.DefaultButton);
}

}  // namespace verdo
