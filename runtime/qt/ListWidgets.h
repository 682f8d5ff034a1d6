#pragma once
#include <string>
#include <vector>

namespace verdo {

struct FieldDef;
struct FieldRef;

// What a window asks of its list controls beyond what every control offers.
class ListWidgets {
public:
    virtual void SetFields(const std::vector<const FieldDef*>& fields) = 0;
    virtual void SetRows(const std::vector<std::string>& rows) = 0;
    virtual int RowsShown() const = 0;
    virtual std::string Format() const = 0;
    virtual bool SetFormat(const std::string& format) = 0;
    // A list without a scroll thumb of its own, or columns to click, answers as at the top
    // and in the first column.
    virtual int Thumb() const { return 0; }
    virtual void SetThumb(int) {}
    virtual int ClickedColumn() const { return 1; }
    virtual void EditRow(int, const std::vector<FieldRef>&, int) {}
    virtual void FocusEdit(int) {}
    virtual void UpdateEdit() {}
    virtual void EndEdit() {}

protected:
    ~ListWidgets() = default;
};

}  // namespace verdo
