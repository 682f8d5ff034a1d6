#include "runtime/qt/QtWindow.h"

#include <QCursor>
#include <QMenu>
#include <algorithm>

#include "runtime/qt/ListWidgets.h"

namespace verdo {

ListWidgets* QtWindow::ListAt(int control) const { return dynamic_cast<ListWidgets*>(ControlAt(control)); }

void QtWindow::SetListFields(int control, const std::vector<const FieldDef*>& fields) {
    if (ListWidgets* list = ListAt(control)) list->SetFields(fields);
}

void QtWindow::SetListRows(int control, const std::vector<std::string>& rows) {
    if (ListWidgets* list = ListAt(control)) list->SetRows(rows);
}

int QtWindow::ListRowsShown(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->RowsShown() : 1;
}

std::string QtWindow::GetListFormat(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->Format() : std::string();
}

bool QtWindow::SetListFormat(int control, const std::string& format) {
    ListWidgets* list = ListAt(control);
    return list && list->SetFormat(format);
}

int QtWindow::ListThumb(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->Thumb() : 0;
}

void QtWindow::SetListThumb(int control, int percent) {
    if (ListWidgets* list = ListAt(control)) list->SetThumb(percent);
}

int QtWindow::ListClickedColumn(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->ClickedColumn() : 1;
}

void QtWindow::EditListRow(int control, int row, const std::vector<FieldRef>& cells, int column) {
    if (ListWidgets* list = ListAt(control)) list->EditRow(row, cells, column);
}

void QtWindow::FocusListEdit(int control, int column) {
    if (ListWidgets* list = ListAt(control)) list->FocusEdit(column);
}

void QtWindow::UpdateListEdit(int control) {
    if (ListWidgets* list = ListAt(control)) list->UpdateEdit();
}

void QtWindow::EndListEdit(int control) {
    if (ListWidgets* list = ListAt(control)) list->EndEdit();
}

int QtWindow::PopupMenu(const std::vector<PopupEntry>& entries) {
    if (!root_ || closed_) return 0;
    QMenu menu(root_);
    menu.setObjectName(QStringLiteral("PopupMenu"));
    std::vector<QAction*> actions;
    for (const PopupEntry& entry : entries) {
        if (entry.Separator) {
            actions.push_back(menu.addSeparator());
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(entry.Text));
        action->setEnabled(entry.Enabled);
        actions.push_back(action);
    }
    QAction* chosen = menu.exec(QCursor::pos());
    auto found = std::find(actions.begin(), actions.end(), chosen);
    return chosen && found != actions.end() ? static_cast<int>(found - actions.begin()) + 1 : 0;
}

}  // namespace verdo
