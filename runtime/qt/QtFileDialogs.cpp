#include "runtime/qt/QtFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace verdo {

bool QtFileDialogs::PickFolder(const std::string& title, const std::string& start, std::string& folder) {
    QString chosen = QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString::fromStdString(title),
                                                       QString::fromStdString(start.empty() ? QDir::currentPath().toStdString() : start));
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
    QString chosen = QFileDialog::getOpenFileName(QApplication::activeWindow(), QString::fromStdString(title),
                                                  QDir::currentPath(), list.join(QStringLiteral(";;")));
    if (chosen.isEmpty()) return false;
    file = chosen.toStdString();
    return true;
}

}  // namespace verdo
