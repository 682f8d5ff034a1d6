#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include "runtime/qt/QtFileDialogs.h"
#include "tests/runtime/qt/QtTestSupport.h"

namespace verdo {
namespace {

QFileDialog* OpenDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible()) return dialog;
    return nullptr;
}

// Where the desktop has no dialog of its own, Qt's shows the files' details: no column
// past the name may cut off its heading or the widest of its values.
TEST(QtFileDialogs, TheDetailColumnsShowTheirHeadingsAndValuesWhole) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // The dialog keeps its columns in the user's settings: this one starts afresh.
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toLocal8Bit());
    QFile old(folder.filePath("old release notes with a long name.VDO"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(123456, 'x'));
    old.close();
    QDir::setCurrent(folder.path());

    std::vector<std::string> cut;
    bool looked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QFileDialog* dialog = OpenDialog();
        auto* tree = dialog ? dialog->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        if (!tree || tree->model()->rowCount(tree->rootIndex()) == 0) return;
        QHeaderView* header = tree->header();
        for (int column = 1; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) continue;
            QString heading = tree->model()->headerData(column, Qt::Horizontal).toString();
            int needs = std::max(header->sectionSizeHint(column), static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(column));
            if (header->sectionSize(column) < needs) cut.push_back(heading.toStdString());
        }
        looked = true;
        dialog->reject();
    });
    poll.start(20);
    std::string file;
    QtFileDialogs dialogs;
    EXPECT_FALSE(dialogs.PickFile("Select", {{"VERDO 1.0 File (*.VDO)", "*.VDO"}}, file));
    EXPECT_TRUE(looked);
    EXPECT_TRUE(cut.empty()) << "cut off: " << (cut.empty() ? "" : cut.front());
}

TEST(QtFileDialogs, TheFolderPickerListsFoldersOnly) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toLocal8Bit());
    ASSERT_TRUE(QDir(folder.path()).mkdir("builds"));
    QFile notes(folder.filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();

    QStringList listed;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QFileDialog* dialog = OpenDialog();
        auto* tree = dialog ? dialog->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        if (!tree || tree->model()->rowCount(tree->rootIndex()) == 0) return;
        for (int row = 0; row < tree->model()->rowCount(tree->rootIndex()); ++row)
            listed << tree->model()->index(row, 0, tree->rootIndex()).data().toString();
        dialog->reject();
    });
    poll.start(20);
    std::string chosen;
    QtFileDialogs dialogs;
    EXPECT_FALSE(dialogs.PickFolder("Select RES Export Path", folder.path().toStdString(), chosen));
    EXPECT_TRUE(listed.contains("builds")) << listed.join(", ").toStdString();
    EXPECT_FALSE(listed.contains("notes.txt")) << listed.join(", ").toStdString();
}

}  // namespace
}  // namespace verdo
