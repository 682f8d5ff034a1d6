#pragma once
#include <string>

#include <QPixmap>
#include <QString>

#include "runtime/window/MessageDialog.h"

class QDialog;
class QPushButton;

namespace verdo {

// What the message dialog and the history window have in common.

// A message text as the user reads it: UTF-8, "|" starting a new line.
QString MessageLines(const std::string& text);

// The platform style's warning or information picture for a message icon; a null
// pixmap for IconNone and unknown numbers.
QPixmap MessageIconPixmap(int icon);

// The set actually shown: a request without buttons still gets OK, so the user can answer.
unsigned ShownButtons(unsigned buttons);

// The default button among those shown: the requested one, or the lowest bit shown
// when the request names a button it does not show.
unsigned ShownDefault(unsigned buttons, unsigned defaultButton);

// The answer when the user closes the window without pressing a button: Cancel when
// shown, else No, else OK; a set with none of them answers with its default button.
unsigned CloseAnswer(unsigned buttons, unsigned defaultButton);

// A push button on the dialog that ends it with the button's bit.
QPushButton* AnswerButton(QDialog& dialog, unsigned bit, const std::string& caption);

// Runs the dialog modally with the default button focused and returns the bit of the
// button pressed, or for the close box what closing means for the button set.
unsigned RunAnswered(QDialog& dialog, QPushButton* defaultButton, const MessageRequest& request);

}  // namespace verdo
