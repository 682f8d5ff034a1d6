#include "runtime/qt/QtMessageDialog.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "runtime/window/HistoryDialog.h"
#include "runtime/qt/MessageParts.h"

namespace verdo {

QtMessageDialog::QtMessageDialog(QWidget* owner) : owner_(owner) {}

unsigned QtMessageDialog::Show(const MessageRequest& request) {
    const unsigned buttons = ShownButtons(request.Buttons);
    const unsigned defaultButton = ShownDefault(request.Buttons, request.DefaultButton);
    // No application means no display: the default answer is the only one there is.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return defaultButton;

    QDialog dialog(owner_ ? owner_.data() : QApplication::activeWindow());
    dialog.setObjectName("MessageDialog");
    dialog.setWindowTitle(QString::fromUtf8(request.Title.c_str()));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    QPixmap picture = MessageIconPixmap(request.Icon);
    if (!picture.isNull()) {
        auto* icon = new QLabel(&dialog);
        icon->setObjectName("?ICON");
        icon->setPixmap(picture);
        icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
        body->addWidget(icon, 0, Qt::AlignTop);
    }
    auto* text = new QLabel(&dialog);
    text->setObjectName("?TEXT");
    text->setTextFormat(Qt::PlainText);
    text->setText(MessageLines(request.Text));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Short messages keep to one line; long ones wrap at a width that still reads well.
    int longest = 0;
    for (const QString& line : text->text().split(QLatin1Char('\n')))
        longest = std::max(longest, text->fontMetrics().horizontalAdvance(line));
    text->setMinimumWidth(std::clamp(longest + 2, 200, 440));
    text->setMaximumWidth(520);
    body->addWidget(text, 1);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* focus = nullptr;
    for (unsigned bit = ButtonOk; bit <= ButtonHelp; bit <<= 1) {
        if (!(buttons & bit)) continue;
        std::string caption = ButtonCaption(bit);
        QPushButton* button = AnswerButton(dialog, bit, caption);
        button->setObjectName(QString::fromUtf8(caption.c_str()).remove(QLatin1Char('&')));
        row->addWidget(button);
        if (bit == defaultButton) focus = button;
    }
    row->addStretch(1);

    auto* page = new QVBoxLayout(&dialog);
    page->setContentsMargins(18, 18, 18, 12);
    page->setSpacing(18);
    page->addLayout(body);
    page->addLayout(row);
    page->setSizeConstraint(QLayout::SetFixedSize);

    return RunAnswered(dialog, focus, request);
}

}  // namespace verdo
