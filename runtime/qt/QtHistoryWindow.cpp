#include "runtime/qt/QtHistoryWindow.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "runtime/qt/MessageParts.h"

namespace verdo {

namespace {

QTreeWidget* HistoryList(QDialog& dialog, const std::vector<HistoryEntry>& history) {
    auto* list = new QTreeWidget(&dialog);
    list->setObjectName("?HISTORY");
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("Category"), QStringLiteral("Message")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFocusPolicy(Qt::NoFocus);
    for (const HistoryEntry& entry : history) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, MessageLines(entry.CATEGORY));
        item->setText(1, MessageLines(entry.TXT).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        item->setToolTip(1, MessageLines(entry.TXT));
    }
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    list->setMinimumSize(460, 160);
    return list;
}

}  // namespace

QtHistoryWindow::QtHistoryWindow(QWidget* owner) : owner_(owner) {}

unsigned QtHistoryWindow::Show(const MessageRequest& request, const std::vector<HistoryEntry>& history) {
    const unsigned buttons = ShownButtons(request.Buttons);
    const unsigned defaultButton = ShownDefault(request.Buttons, request.DefaultButton);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return defaultButton;

    QDialog dialog(owner_ ? owner_.data() : QApplication::activeWindow());
    dialog.setObjectName("HistoryWindow");
    dialog.setWindowTitle(QString::fromUtf8(HistoryWindowTitle));
    dialog.setWindowModality(Qt::ApplicationModal);

    auto* head = new QHBoxLayout;
    head->setSpacing(16);
    QPixmap picture = MessageIconPixmap(request.Icon);
    if (!picture.isNull()) {
        auto* icon = new QLabel(&dialog);
        icon->setObjectName("?ICON");
        icon->setPixmap(picture);
        head->addWidget(icon, 0, Qt::AlignTop);
    }
    auto* words = new QVBoxLayout;
    auto* title = new QLabel(&dialog);
    title->setObjectName("?TITLE");
    title->setTextFormat(Qt::PlainText);
    title->setText(QString::fromUtf8(request.Title.c_str()));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    words->addWidget(title);
    auto* text = new QLabel(&dialog);
    text->setObjectName("?TEXT");
    text->setTextFormat(Qt::PlainText);
    text->setText(MessageLines(request.Text));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    words->addWidget(text);
    head->addLayout(words, 1);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* focus = nullptr;
    int control = 0;
    for (const auto& [bit, caption] : HistoryButtonOrder(buttons)) {
        QPushButton* button = AnswerButton(dialog, bit, caption);
        button->setObjectName(QStringLiteral("?BUTTON%1").arg(++control));
        row->addWidget(button);
        if (bit == defaultButton) focus = button;
    }

    auto* page = new QVBoxLayout(&dialog);
    page->setContentsMargins(14, 14, 14, 12);
    page->setSpacing(12);
    page->addLayout(head);
    page->addWidget(HistoryList(dialog, history), 1);
    page->addLayout(row);

    return RunAnswered(dialog, focus, request);
}

}  // namespace verdo
