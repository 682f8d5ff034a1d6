#include "runtime/qt/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace verdo {

void QtShellOpen(const std::string& target) {
    QString text = QString::fromStdString(target);
    bool address = text.contains("://") || text.startsWith("mailto:", Qt::CaseInsensitive);
    QDesktopServices::openUrl(address ? QUrl(text) : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath()));
}

}  // namespace verdo
