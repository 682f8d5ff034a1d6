#include "runtime/qt/QtFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QStringList>
#include <QTreeView>

namespace verdo {

namespace {

// Qt's own dialog (where the desktop offers none of its own) opens its detail columns
// at widths that cut off the sizes, types and dates: past the name, each column takes
// the room its heading and its values need. Its widgets exist once it is shown.
void FitDetailColumns(QFileDialog& dialog) {
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree) return;
    QHeaderView* header = tree->header();
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

QString Run(QFileDialog& dialog) {
    QMetaObject::invokeMethod(&dialog, [&dialog] { FitDetailColumns(dialog); }, Qt::QueuedConnection);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

}  // namespace

bool QtFileDialogs::PickFolder(const std::string& title, const std::string& start, std::string& folder) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title),
                       start.empty() ? QDir::currentPath() : QString::fromStdString(start));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    QString chosen = Run(dialog);
    if (chosen.isEmpty()) return false;
    folder = chosen.toStdString();
    return true;
}

bool QtFileDialogs::PickFile(const std::string& title, const std::vector<Filter>& filters, std::string& file) {
    QStringList list;
    for (const Filter& filter : filters) {
        QString patterns = QString::fromStdString(filter.Patterns);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = QString::fromStdString(filter.Description);
        // Qt reads the patterns from the brackets: a description without them gets them.
        list << (description.contains(QLatin1Char('(')) ? description : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title), QDir::currentPath(),
                       list.join(QStringLiteral(";;")));
    dialog.setFileMode(QFileDialog::ExistingFile);
    QString chosen = Run(dialog);
    if (chosen.isEmpty()) return false;
    file = chosen.toStdString();
    return true;
}

}  // namespace verdo
