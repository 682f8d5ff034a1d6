#pragma once
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <string>

namespace verdo {

// Pictures named in window definitions ("Verdo.ico", "logo.bmp", "Hand.cur") come from
// the program's resources under ":/pictures/". A missing picture loads as nothing.

// The resource path of a picture, its name matched without regard to case; empty when
// there is no such picture.
QString PicturePath(const std::string& name);

// At the given size when one is given (a picture stretched over its control),
// otherwise at its own.
QPixmap LoadPicture(const std::string& name, QSize size = QSize());
QIcon LoadIcon(const std::string& name);
// A mouse cursor from a cursor or picture file, with the hot spot the file gives;
// the fallback shape when the picture is missing.
QCursor LoadCursor(const std::string& name, Qt::CursorShape fallback);

}  // namespace verdo
