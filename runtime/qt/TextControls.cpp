#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>

#include "runtime/qt/ControlKinds.h"
#include "runtime/qt/FieldBinding.h"
#include "runtime/qt/SingleByteValidator.h"

namespace verdo {

namespace {

// Static text, or the display of a field when it is bound to one.
class PromptControl final : public QtControl {
public:
    PromptControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), label_(new QLabel(DefText(def.Text), host.ControlParent())) {
        label_->setAttribute(Qt::WA_TransparentForMouseEvents);
        label_->setTextFormat(Qt::PlainText);
        Place(label_);
    }
    QWidget* Widget() const override { return label_; }
    void Display() override {
        if (Def().Use.IsSet()) label_->setText(FieldDisplayText(Def().Use, Def().Picture));
    }
    void SetText(const QString& text) override { label_->setText(text); }

private:
    QLabel* label_;
};

bool IsSignedNumber(const FieldRef& ref) {
    return ref.IsSet() && ref.Field->Type == FieldType::Long;
}

bool IsNumber(const FieldRef& ref) {
    if (!ref.IsSet()) return false;
    FieldType type = ref.Field->Type;
    return type == FieldType::Long || type == FieldType::ULong || type == FieldType::UShort || type == FieldType::Byte;
}

class EntryControl final : public QtControl {
public:
    EntryControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), edit_(new QLineEdit(host.ControlParent())) {
        int limit = FieldTextLimit(def.Use, def.Picture);
        if (limit > 0) edit_->setMaxLength(limit);
        if (IsNumber(def.Use)) {
            QRegularExpression digits(IsSignedNumber(def.Use) ? QStringLiteral(" *-?[0-9]* *") : QStringLiteral(" *[0-9]* *"));
            edit_->setValidator(new QRegularExpressionValidator(digits, edit_));
        } else if (FieldTakesText(def.Use)) {
            edit_->setValidator(new SingleByteValidator(edit_));
        }
        if (def.ReadOnly || (def.Use.IsSet() && !FieldTakesText(def.Use))) {
            // A display: drawn on the window's colour like the platform's read-only boxes,
            // and passed over by Tab.
            edit_->setReadOnly(true);
            edit_->setFocusPolicy(Qt::NoFocus);
            QPalette palette = edit_->palette();
            palette.setBrush(QPalette::Base, palette.brush(QPalette::Window));
            edit_->setPalette(palette);
        }
        Place(edit_);
    }
    QWidget* Widget() const override { return edit_; }
    // An entry that already shows the field's value keeps its text and caret as the user
    // left them; another value is shown from its beginning, as the platform's entries do.
    void Display() override {
        if (!Def().Use.IsSet()) return;
        QString text = FieldDisplayText(Def().Use, Def().Picture);
        if (!ShowsFieldText(edit_->text(), text)) {
            edit_->setText(text);
            edit_->setCursorPosition(0);
        }
        shown_ = edit_->text();
        held_.Take(Def().Use);
    }
    bool Update() override {
        if (Def().ReadOnly || !FieldTakesText(Def().Use) || edit_->text() == shown_) return false;
        if (!StoreFieldText(Def().Use, edit_->text())) return false;
        Display();
        return true;
    }
    bool KeepEdit() override { return held_.Holds(Def().Use) && Update(); }
    void SetText(const QString& text) override { edit_->setText(text); }

private:
    QLineEdit* edit_;
    QString shown_;
    FieldSnapshot held_;
};

// A multi-line text box that, like the entries, takes single-byte characters only.
class SingleByteTextEdit final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!IsSingleByte(event->text())) return;
        QPlainTextEdit::keyPressEvent(event);
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        if (!IsSingleByte(event->commitString())) return;
        QPlainTextEdit::inputMethodEvent(event);
    }
    void insertFromMimeData(const QMimeData* source) override {
        QString text = source->text();
        text.removeIf([](QChar c) { return c.unicode() > 0xFF; });
        insertPlainText(text);
    }
};

class TextControl final : public QtControl {
public:
    TextControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), edit_(new SingleByteTextEdit(host.ControlParent())) {
        edit_->setTabChangesFocus(true);
        if (def.ReadOnly || (def.Use.IsSet() && !FieldTakesText(def.Use))) edit_->setReadOnly(true);
        Place(edit_);
    }
    QWidget* Widget() const override { return edit_; }
    // A text box that already shows the field's value keeps its caret and scrolling.
    void Display() override {
        if (!Def().Use.IsSet()) return;
        QString text = FieldDisplayText(Def().Use, Def().Picture);
        if (!ShowsFieldText(edit_->toPlainText(), text)) edit_->setPlainText(text);
        shown_ = edit_->toPlainText();
        held_.Take(Def().Use);
    }
    bool Update() override {
        QString text = edit_->toPlainText();
        if (!FieldTakesText(Def().Use) || text == shown_) return false;
        if (!StoreFieldText(Def().Use, text)) return false;
        Display();
        return true;
    }
    bool KeepEdit() override { return held_.Holds(Def().Use) && Update(); }
    void SetText(const QString& text) override { edit_->setPlainText(text); }

private:
    QPlainTextEdit* edit_;
    QString shown_;
    FieldSnapshot held_;
};

// "&&" stays an ampersand, a single "&" goes.
QString WithoutMnemonic(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

}  // namespace

std::unique_ptr<QtControl> MakePrompt(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<PromptControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeEntry(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<EntryControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeText(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<TextControl>(def, number, host);
}

namespace {

bool TakesInput(ControlKind kind) {
    return kind == ControlKind::Entry || kind == ControlKind::Text || kind == ControlKind::Spin ||
           kind == ControlKind::DropList || kind == ControlKind::List;
}

// A prompt is the name an assistive tool reads for the control it stands before.
void NameAfterPrompt(QWidget* control, const QString& prompt) {
    QString name = WithoutMnemonic(prompt).trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    if (!name.isEmpty()) control->setAccessibleName(name);
}

}  // namespace

void AttachPromptBuddies(const std::vector<std::unique_ptr<QtControl>>& controls) {
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i]->Def().Kind != ControlKind::Prompt) continue;
        auto* label = qobject_cast<QLabel*>(controls[i]->Widget());
        if (!label) continue;
        const QString prompt = QString::fromStdString(controls[i]->Def().Text);
        if (!label->text().contains(QLatin1Char('&'))) {
            // Without a mnemonic a prompt still names the entry right after it.
            if (i + 1 < controls.size() && TakesInput(controls[i + 1]->Def().Kind) && controls[i + 1]->Widget())
                NameAfterPrompt(controls[i + 1]->Widget(), prompt);
            continue;
        }
        QWidget* buddy = nullptr;
        for (size_t j = i + 1; j < controls.size() && !buddy; ++j) {
            QWidget* candidate = controls[j]->Widget();
            if (candidate && candidate->focusPolicy() != Qt::NoFocus) buddy = candidate;
        }
        if (buddy) {
            label->setBuddy(buddy);
            NameAfterPrompt(buddy, prompt);
        } else {
            label->setText(WithoutMnemonic(label->text()));
        }
    }
}

}  // namespace verdo
