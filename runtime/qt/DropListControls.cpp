#include <QComboBox>
#include <algorithm>

#include "runtime/qt/ControlKinds.h"
#include "runtime/qt/FieldBinding.h"
#include "runtime/qt/ListWidgets.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/ListFormat.h"

namespace verdo {

namespace {

// A drop-down list: the rows it is given, each shown by its first field under the
// format's picture. Choosing a row reports a new selection.
class DropListControl final : public QtControl, public ListWidgets {
public:
    DropListControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), box_(new QComboBox(host.ControlParent())) {
        box_->setEditable(false);
        box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        QObject::connect(box_, &QComboBox::activated, box_, [this](int index) {
            choice_ = index + 1;
            Host().PostControlEvent(Event::NewSelection, Number());
        });
        Place(box_);
        if (!SetFormat(def.Picture)) SetFormat("140L(2)@s35@");
    }
    QWidget* Widget() const override { return box_; }
    int Choice() const override { return choice_; }
    void SetChoice(int row) override {
        choice_ = std::clamp(row, 0, box_->count());
        box_->setCurrentIndex(choice_ - 1);
    }

    void SetFields(const std::vector<const FieldDef*>& fields) override { fields_ = fields; }
    void SetRows(const std::vector<std::string>& rows) override {
        box_->clear();
        for (const std::string& row : rows) {
            const FieldDef* field = fields_.empty() ? nullptr : fields_.front();
            QString text;
            if (field && field->Offset + field->Size <= row.size())
                text = FieldDisplayText(FieldRef{const_cast<char*>(row.data()), field}, columns_.front().Picture);
            box_->addItem(text);
        }
        SetChoice(choice_);
    }
    int RowsShown() const override { return box_->maxVisibleItems(); }
    std::string Format() const override { return ListFormat::Compose(columns_); }
    bool SetFormat(const std::string& format) override {
        std::vector<ListColumn> columns;
        if (!ListFormat::Parse(format, columns)) return false;
        columns_ = std::move(columns);
        return true;
    }

private:
    QComboBox* box_;
    std::vector<const FieldDef*> fields_;
    std::vector<ListColumn> columns_;
    int choice_ = 0;
};

}  // namespace

std::unique_ptr<QtControl> MakeDropList(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<DropListControl>(def, number, host);
}

}  // namespace verdo
