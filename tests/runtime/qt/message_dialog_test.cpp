#include <algorithm>
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "runtime/window/HistoryDialog.h"
#include "runtime/qt/MessageParts.h"
#include "runtime/qt/QtHistoryWindow.h"
#include "runtime/qt/QtMessageDialog.h"

namespace verdo {
namespace {

// Runs the action on the modal window as soon as it is on screen. A window that never
// comes fails the test instead of leaving it waiting.
void WhenShown(std::function<void(QDialog&)> action, int triesLeft = 200) {
    QTimer::singleShot(triesLeft == 200 ? 0 : 10, [action, triesLeft] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            action(*dialog);
        } else if (triesLeft > 0) {
            WhenShown(action, triesLeft - 1);
        } else {
            ADD_FAILURE() << "no modal window appeared";
        }
    });
}

void Press(QDialog& dialog, const char* name) {
    auto* button = dialog.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

void Key(QDialog& dialog, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &press);
}

struct ButtonView {
    QString Name;
    QString Caption;
    int X;
    bool Default;
    bool Focused;
};

// The dialog's buttons from left to right.
std::vector<ButtonView> Buttons(QDialog& dialog) {
    std::vector<ButtonView> buttons;
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        buttons.push_back({b->objectName(), b->text(), b->mapTo(&dialog, QPoint()).x(), b->isDefault(),
                           dialog.focusWidget() == b});
    std::sort(buttons.begin(), buttons.end(), [](const auto& a, const auto& b) { return a.X < b.X; });
    return buttons;
}

MessageRequest Request(unsigned buttons, unsigned defaultButton, int icon = IconExclamation) {
    return {"Save Record", "Do you want to save the changes to this record?", icon, buttons, defaultButton};
}

TEST(QtMessageDialog, ShowsOneButtonPerBitInBitOrderWithTheDefaultFocused) {
    struct Case {
        unsigned Buttons, Default;
        std::vector<QString> Captions;
        QString DefaultName;
    };
    const std::vector<Case> cases = {
        {ButtonOk, ButtonOk, {"O&k"}, "Ok"},
        {ButtonYes | ButtonNo, ButtonYes, {"&Yes", "&No"}, "Yes"},
        {ButtonYes | ButtonNo | ButtonCancel, ButtonNo, {"&Yes", "&No", "&Cancel"}, "No"},
        {ButtonAbort | ButtonRetry | ButtonIgnore, ButtonRetry, {"&Abort", "&Retry", "&Ignore"}, "Retry"},
        {0xFF, ButtonHelp, {"O&k", "&Yes", "&No", "&Abort", "&Retry", "&Ignore", "&Cancel", "&Help"}, "Help"},
        // A default the set does not show falls to the first button; no buttons still gives OK.
        {ButtonRetry | ButtonCancel, ButtonYes, {"&Retry", "&Cancel"}, "Retry"},
        {0, 0, {"O&k"}, "Ok"},
    };
    QtMessageDialog messages;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Buttons);
        std::vector<ButtonView> seen;
        WhenShown([&](QDialog& dialog) {
            seen = Buttons(dialog);
            dialog.reject();
        });
        messages.Show(Request(c.Buttons, c.Default));
        ASSERT_EQ(seen.size(), c.Captions.size());
        for (size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].Caption, c.Captions[i]);
            EXPECT_EQ(seen[i].Name, QString(c.Captions[i]).remove('&'));
            EXPECT_EQ(seen[i].Default, seen[i].Name == c.DefaultName) << seen[i].Name.toStdString();
            EXPECT_EQ(seen[i].Focused, seen[i].Name == c.DefaultName) << seen[i].Name.toStdString();
        }
    }
}

TEST(QtMessageDialog, ReturnsTheBitOfTheButtonPressed) {
    QtMessageDialog messages;
    for (unsigned bit = ButtonOk; bit <= ButtonHelp; bit <<= 1) {
        std::string name = ButtonCaption(bit);
        std::erase(name, '&');
        WhenShown([&](QDialog& dialog) { Press(dialog, name.c_str()); });
        EXPECT_EQ(messages.Show(Request(0xFF, ButtonOk)), bit) << name;
    }
}

TEST(QtMessageDialog, EnterPressesTheDefaultButton) {
    QtMessageDialog messages;
    WhenShown([](QDialog& dialog) { Key(dialog, Qt::Key_Return); });
    EXPECT_EQ(messages.Show(Request(ButtonYes | ButtonNo | ButtonCancel, ButtonNo)), ButtonNo);
    WhenShown([](QDialog& dialog) { Key(dialog, Qt::Key_Return); });
    EXPECT_EQ(messages.Show(Request(ButtonYes | ButtonNo, ButtonYes)), ButtonYes);
}

TEST(QtMessageDialog, CloseBoxAndEscapeAnswerCancelElseNoElseOk) {
    struct Case {
        unsigned Buttons, Default, Answer;
    };
    const std::vector<Case> cases = {
        {ButtonYes | ButtonNo, ButtonYes, ButtonNo},  // a question closed counts as declined
        {ButtonYes | ButtonNo | ButtonCancel, ButtonYes, ButtonCancel},
        {ButtonOk, ButtonOk, ButtonOk},
        {ButtonOk | ButtonCancel, ButtonOk, ButtonCancel},
        {ButtonRetry | ButtonCancel, ButtonRetry, ButtonCancel},
        {ButtonAbort | ButtonRetry | ButtonIgnore, ButtonIgnore, ButtonIgnore},
    };
    QtMessageDialog messages;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Buttons);
        WhenShown([](QDialog& dialog) { dialog.close(); });
        EXPECT_EQ(messages.Show(Request(c.Buttons, c.Default)), c.Answer);
        WhenShown([](QDialog& dialog) { Key(dialog, Qt::Key_Escape); });
        EXPECT_EQ(messages.Show(Request(c.Buttons, c.Default)), c.Answer);
    }
}

TEST(QtMessageDialog, ShowsTitleTextWithLineBreaksAndTheIcon) {
    QtMessageDialog messages;
    QString title, text;
    bool hasIcon = false;
    auto look = [&](QDialog& dialog) {
        title = dialog.windowTitle();
        auto* label = dialog.findChild<QLabel*>("?TEXT");
        text = label ? label->text() : QString();
        auto* icon = dialog.findChild<QLabel*>("?ICON");
        hasIcon = icon && !icon->pixmap().isNull();
        dialog.accept();
    };
    WhenShown(look);
    messages.Show({"Resource File Exported", "Resource File Exported.||Path location: /tmp/\u00e9t\u00e9/|done",
                   IconInformation, ButtonOk, ButtonOk});
    EXPECT_EQ(title, "Resource File Exported");
    EXPECT_EQ(text, QString::fromUtf8("Resource File Exported.\n\nPath location: /tmp/\u00e9t\u00e9/\ndone"));
    EXPECT_TRUE(hasIcon);

    WhenShown(look);
    messages.Show({"Plain", "No icon here", IconNone, ButtonOk, ButtonOk});
    EXPECT_FALSE(hasIcon);
}

TEST(MessageParts, IconsAreThePlatformsWarningAndInformationPictures) {
    EXPECT_FALSE(MessageIconPixmap(IconExclamation).isNull());
    EXPECT_FALSE(MessageIconPixmap(IconInformation).isNull());
    EXPECT_NE(MessageIconPixmap(IconExclamation).toImage(), MessageIconPixmap(IconInformation).toImage());
    EXPECT_TRUE(MessageIconPixmap(IconNone).isNull());
    EXPECT_TRUE(MessageIconPixmap(12345).isNull());
}

TEST(QtHistoryWindow, PlacesButtonsFromTheHighestBitOnItsButtonControls) {
    QtHistoryWindow window;
    QString title, caption[4];
    bool defaultNo = false;
    int rows = 0;
    QString firstCategory, firstText;
    WhenShown([&](QDialog& dialog) {
        title = dialog.windowTitle();
        for (int i = 0; i < 4; ++i)
            if (auto* b = dialog.findChild<QPushButton*>(QStringLiteral("?BUTTON%1").arg(i + 1))) {
                caption[i] = b->text();
                if (i == 1) defaultNo = b->isDefault();
            }
        if (auto* list = dialog.findChild<QTreeWidget*>("?HISTORY")) {
            rows = list->topLevelItemCount();
            firstCategory = list->topLevelItem(0)->text(0);
            firstText = list->topLevelItem(0)->text(1);
        }
        Press(dialog, "?BUTTON1");
    });
    std::vector<HistoryEntry> history = {{"QAT", "File (VERDO) could not be opened.|Try again.", 23},
                                         {"QAT", "There are no records available to process.", 22}};
    unsigned answer = window.Show({"Record Update Error", "Do you want to try to save again?", IconExclamation,
                                   ButtonYes | ButtonNo | ButtonCancel, ButtonNo},
                                  history);
    EXPECT_EQ(title, "Errors History");
    EXPECT_EQ(caption[0], "&Cancel");
    EXPECT_EQ(caption[1], "&No");
    EXPECT_EQ(caption[2], "&Yes");
    EXPECT_TRUE(caption[3].isEmpty());
    EXPECT_TRUE(defaultNo);
    EXPECT_EQ(answer, ButtonCancel);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(firstCategory, "QAT");
    EXPECT_EQ(firstText, "File (VERDO) could not be opened. Try again.");
}

TEST(QtHistoryWindow, ReturnsTheButtonPressedAndTheCloseAnswer) {
    QtHistoryWindow window;
    const MessageRequest request{"Confirm Delete", "Are you sure?", IconExclamation, ButtonYes | ButtonNo, ButtonYes};
    WhenShown([](QDialog& dialog) { Press(dialog, "?BUTTON2"); });
    EXPECT_EQ(window.Show(request, {}), ButtonYes);
    WhenShown([](QDialog& dialog) { Press(dialog, "?BUTTON1"); });
    EXPECT_EQ(window.Show(request, {}), ButtonNo);
    WhenShown([](QDialog& dialog) { Key(dialog, Qt::Key_Return); });
    EXPECT_EQ(window.Show(request, {}), ButtonYes);
    WhenShown([](QDialog& dialog) { dialog.close(); });
    EXPECT_EQ(window.Show(request, {}), ButtonNo);
}

TEST(QtMessageDialog, AQuestionShowsTheOrdinaryPointerAndTheWaitCursorComesBackAfter) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool plainWhileAsked = false;
    WhenShown([&](QDialog& dialog) {
        plainWhileAsked = QApplication::overrideCursor() == nullptr;
        Press(dialog, "Yes");
    });
    QtMessageDialog questions;
    MessageRequest request;
    request.Title = "Save Record";
    request.Text = "Do you want to save the changes to this record?";
    request.Buttons = ButtonYes | ButtonNo;
    request.DefaultButton = ButtonYes;
    EXPECT_EQ(questions.Show(request), ButtonYes);
    EXPECT_TRUE(plainWhileAsked);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

}  // namespace
}  // namespace verdo
