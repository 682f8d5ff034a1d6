#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/LookupRows.h"
#include "core/Records.h"
#include "runtime/datetime/Pictures.h"
#include "runtime/qt/DialogUnits.h"
#include "runtime/qt/QtWindow.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/window/ListFormat.h"
#include "windows/AboutWindowDef.h"
#include "windows/BrowseWindowDef.h"
#include "windows/BuildHistoryWindowDef.h"
#include "windows/FormWindowDef.h"
#include "windows/MainWindowDef.h"
#include "windows/PreviewWindowDef.h"
#include "windows/SplashWindowDef.h"

using namespace verdo;

namespace {

// The widest text a control may have to show: its caption, or the widest value its
// field can take under its picture. Texts of more than 35 characters scroll or are cut
// off by design, as on the platform's own windows, and are not measured.
constexpr size_t LongestMeasuredText = 35;

QString WithoutMnemonic(const std::string& text) {
    QString plain;
    QString source = QString::fromStdString(text);
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == QLatin1Char('&') && i + 1 < source.size()) ++i;
        plain += source[i];
    }
    return plain;
}

int Widest(const QFontMetrics& metrics, const std::vector<QString>& texts) {
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

// Dates and times of every month, day and hour, so that the widest of them is among them
// whatever the user's regional forms.
std::vector<QString> DateTexts(const std::string& picture) {
    std::vector<QString> texts;
    for (uint8_t month = 1; month <= 12; ++month)
        for (uint8_t day : {1, 9, 18, 28}) texts.push_back(QString::fromStdString(FormatDate(Date{day, month, 2088}, picture)));
    return texts;
}

std::vector<QString> TimeTexts(const std::string& picture) {
    std::vector<QString> texts;
    for (uint8_t hour = 0; hour < 24; ++hour)
        texts.push_back(QString::fromStdString(FormatTime(Time{hour, 48, 58, 0}, picture)));
    return texts;
}

// The widest value of a bound field in pixels; 0 when it is not measured.
int WidestValue(const ControlDef& def, const QFontMetrics& metrics, const DialogUnits& units) {
    const FieldDef& field = *def.Use.Field;
    switch (field.Type) {
        case FieldType::Long: return Widest(metrics, {"-2147483648"});
        case FieldType::ULong: return Widest(metrics, {"4294967295"});
        case FieldType::UShort: return Widest(metrics, {"65535"});
        case FieldType::Byte: return Widest(metrics, {"255"});
        case FieldType::Date: return Widest(metrics, DateTexts(def.Picture.empty() ? "@d17" : def.Picture));
        case FieldType::Time: return Widest(metrics, TimeTexts(def.Picture.empty() ? "@T7" : def.Picture));
        case FieldType::String: {
            size_t width = field.Size;
            if (def.Picture.size() > 2 && (def.Picture[1] == 's' || def.Picture[1] == 'S'))
                width = std::min<size_t>(width, std::stoul(def.Picture.substr(2)));
            // Text of that many characters of the font's average width, the measure the
            // windows are laid out in.
            return width <= LongestMeasuredText ? units.ToPixelsX(static_cast<int>(4 * width)) : 0;
        }
        default: return 0;
    }
}

// The room a line edit gives its text, as it draws it.
int LineEditRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    QMargins margins = edit->textMargins();
    // The line edit keeps two pixels free on either side of its text.
    return contents.width() - margins.left() - margins.right() - 4;
}

class TextsFit {
public:
    TextsFit(QtWindow& window, const WindowDef& def) : window_(window), def_(def) {}

    std::vector<std::string> Cut() {
        QWidget* root = window_.RootWidget();
        const DialogUnits units(root->font());
        for (const ControlDef& def : def_.Controls) {
            if (def.Name.empty()) continue;
            QWidget* widget = root->findChild<QWidget*>(QString::fromStdString(def.Name));
            if (!widget) continue;
            Measure(def, *widget, units);
            if (def.Kind != ControlKind::ToolButton && def.Kind != ControlKind::Tab) Inside(def, *widget);
        }
        return cut_;
    }

private:
    void Need(const ControlDef& def, const char* what, int needs, int has) {
        if (needs > has)
            cut_.push_back(def_.Procedure + " " + def.Name + " " + what + ": needs " + std::to_string(needs) +
                           " pixels, has " + std::to_string(has));
    }

    void Measure(const ControlDef& def, QWidget& widget, const DialogUnits& units) {
        const QFontMetrics metrics = widget.fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(&widget)) {
            int room = label->contentsRect().width() - 2 * label->margin() - std::max(label->indent(), 0);
            Need(def, "caption", metrics.horizontalAdvance(WithoutMnemonic(def.Text)), room);
            if (def.Use.IsSet()) Need(def, "widest value", WidestValue(def, metrics, units), room);
            Need(def, "line height", metrics.height(), label->contentsRect().height());
        } else if (auto* spin = qobject_cast<QSpinBox*>(&widget)) {
            int widest = Widest(metrics, {QString::number(spin->maximum()), QString::number(spin->minimum())});
            QStyleOptionSpinBox option;
            option.initFrom(spin);
            option.rect = spin->rect();
            option.frame = spin->hasFrame();
            option.buttonSymbols = spin->buttonSymbols();
            option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp |
                                 QStyle::SC_SpinBoxDown;
            QRect field = spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, spin);
            // The spin box's own entry has no frame and keeps two pixels free on either side.
            Need(def, "widest value", widest, field.width() - 4);
        } else if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
            if (def.Use.IsSet()) Need(def, "widest value", WidestValue(def, metrics, units), LineEditRoom(edit));
        } else if (auto* check = qobject_cast<QCheckBox*>(&widget)) {
            Need(def, "caption", check->sizeHint().width(), check->width());
            Need(def, "line height", check->sizeHint().height(), check->height());
        } else if (auto* button = qobject_cast<QPushButton*>(&widget)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.rect = button->rect();
            QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            Need(def, "caption", metrics.horizontalAdvance(WithoutMnemonic(def.Text)), room.width());
            Need(def, "line height", metrics.height(), room.height());
        } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
            if (!group->title().isEmpty()) Need(def, "title", group->minimumSizeHint().width(), group->width());
        } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
            MeasureDropList(def, *combo, metrics);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
            Need(def, "tabs", tabs->tabBar()->sizeHint().width(), tabs->width());
        } else if (auto* view = widget.findChild<QTableView*>()) {
            MeasureHeadings(def, *view);
        }
    }

    // A drop list of the form shows a lookup table's rows: the widest standard row.
    void MeasureDropList(const ControlDef& def, QComboBox& combo, const QFontMetrics& metrics) {
        std::vector<QString> names;
        for (const char* table : {"LangID", "CodePage", "FileType", "FileOS"})
            for (const LookupRow& row : StandardLookupRows(table)) names.push_back(QString::fromStdString(row.Name));
        QStyleOptionComboBox option;
        option.initFrom(&combo);
        option.rect = combo.rect();
        option.editable = false;
        QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
        Need(def, "widest row", Widest(metrics, names), field.width());
    }

    void MeasureHeadings(const ControlDef& def, QTableView& view) {
        QHeaderView* header = view.horizontalHeader();
        if (!header->isVisible() && header->isHidden()) return;
        const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int section = 0; section < header->count(); ++section) {
            QString heading = view.model()->headerData(section, Qt::Horizontal).toString();
            if (heading.isEmpty()) continue;
            Need(def, ("heading \"" + heading.toStdString() + "\"").c_str(),
                 header->fontMetrics().horizontalAdvance(heading) + margin, header->sectionSize(section));
        }
    }

    // A control that reaches past its window's edge is cut off there.
    void Inside(const ControlDef& def, QWidget& widget) {
        QWidget* client = widget.parentWidget();
        if (!client || widget.isWindow()) return;
        Need(def, "right edge", widget.geometry().right() + 1, client->width());
    }

    QtWindow& window_;
    const WindowDef& def_;
    std::vector<std::string> cut_;
};

bool TakesInput(ControlKind kind) {
    switch (kind) {
        case ControlKind::Entry:
        case ControlKind::Text:
        case ControlKind::Button:
        case ControlKind::Check:
        case ControlKind::Spin:
        case ControlKind::List:
        case ControlKind::DropList: return true;
        default: return false;
    }
}

// Two controls the user works with may not lie over each other on the same tab.
std::vector<std::string> Overlaps(QtWindow& window, const WindowDef& def) {
    std::vector<std::string> found;
    QWidget* root = window.RootWidget();
    for (size_t i = 0; i < def.Controls.size(); ++i) {
        const ControlDef& a = def.Controls[i];
        if (!TakesInput(a.Kind)) continue;
        for (size_t j = i + 1; j < def.Controls.size(); ++j) {
            const ControlDef& b = def.Controls[j];
            if (!TakesInput(b.Kind) || a.Parent != b.Parent) continue;
            auto* first = root->findChild<QWidget*>(QString::fromStdString(a.Name));
            auto* second = root->findChild<QWidget*>(QString::fromStdString(b.Name));
            if (first && second && first->geometry().intersects(second->geometry()))
                found.push_back(def.Procedure + " " + a.Name + " and " + b.Name);
        }
    }
    return found;
}

std::vector<std::string> CutTexts(QtWindowSystem& system, const WindowDef& def) {
    auto window = system.CreateWindow(def);
    auto& qt = dynamic_cast<QtWindow&>(*window);
    std::vector<std::string> found = TextsFit(qt, def).Cut();
    for (const std::string& overlap : Overlaps(qt, def)) found.push_back(overlap + " lie over each other");
    return found;
}

TEST(WindowTexts, EveryCaptionHeadingAndWidestValueFitsItsControlAndNoControlsOverlap) {
    QtWindowSystem system;
    auto frame = system.CreateWindow(MainWindowDef());
    frame->Open();
    PreviewVariables variables{};
    std::vector<std::string> cut;
    for (const WindowDef* def : {&MainWindowDef(), &BrowseWindowDef(), &FormWindowDef(), &AboutWindowDef(),
                                 &SplashWindowDef()}) {
        std::vector<std::string> found = CutTexts(system, *def);
        cut.insert(cut.end(), found.begin(), found.end());
    }
    std::vector<std::string> preview = CutTexts(system, PreviewWindowDef(variables));
    cut.insert(cut.end(), preview.begin(), preview.end());
    BuildHistoryVariables history{};
    std::vector<std::string> builds = CutTexts(system, BuildHistoryWindowDef(history));
    cut.insert(cut.end(), builds.begin(), builds.end());
    std::string listed;
    for (const std::string& line : cut) listed += "\n  " + line;
    EXPECT_TRUE(cut.empty()) << "cut off:" << listed;
}

}  // namespace
