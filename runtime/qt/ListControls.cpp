#include <QAbstractTableModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>

#include "runtime/qt/ControlKinds.h"
#include "runtime/qt/DialogUnits.h"
#include "runtime/qt/FieldBinding.h"
#include "runtime/qt/ListWidgets.h"
#include "runtime/qt/SingleByteValidator.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/ListFormat.h"

namespace verdo {

namespace {

Qt::Alignment AlignmentOf(char align) {
    switch (align) {
        case 'R':
        case 'D': return Qt::AlignRight | Qt::AlignVCenter;
        case 'C': return Qt::AlignHCenter | Qt::AlignVCenter;
        default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// The rows of one page, each a record image, shown column by column under the
// columns' pictures.
class PageModel final : public QAbstractTableModel {
public:
    void SetColumns(std::vector<ListColumn> columns) {
        beginResetModel();
        columns_ = std::move(columns);
        endResetModel();
    }
    void SetFields(std::vector<const FieldDef*> fields) {
        beginResetModel();
        fields_ = std::move(fields);
        endResetModel();
    }
    void SetRows(std::vector<std::string> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<ListColumn>& Columns() const { return columns_; }
    std::vector<ListColumn>& Columns() { return columns_; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
        const ListColumn& column = columns_[index.column()];
        if (role == Qt::TextAlignmentRole) return static_cast<int>(AlignmentOf(column.Align));
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
        if (static_cast<size_t>(index.column()) >= fields_.size() || !fields_[index.column()]) return {};
        const std::string& row = rows_[index.row()];
        const FieldDef* field = fields_[index.column()];
        if (field->Offset + field->Size > row.size()) return {};
        FieldRef ref{const_cast<char*>(row.data()), field};
        return FieldDisplayText(ref, column.Picture);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns_.size())) return {};
        const ListColumn& column = columns_[section];
        if (role == Qt::DisplayRole) return QString::fromStdString(column.Header);
        if (role == Qt::TextAlignmentRole) return static_cast<int>(AlignmentOf(column.HeaderAlign));
        return {};
    }

private:
    std::vector<ListColumn> columns_;
    std::vector<const FieldDef*> fields_;
    std::vector<std::string> rows_;
};

// Indents values from their aligned edge and draws the columns' right-hand separators.
class ColumnDelegate final : public QStyledItemDelegate {
public:
    ColumnDelegate(const PageModel& model, const DialogUnits& units, QObject* parent)
        : QStyledItemDelegate(parent), model_(model), units_(units) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        const QString text = cell.text;
        cell.text.clear();
        const QWidget* widget = cell.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

        const ListColumn& column = model_.Columns()[index.column()];
        const int margin = 2;
        const int indent = units_.ToPixelsX(column.Indent);
        QRect area = option.rect.adjusted(margin, 0, -margin, 0);
        if (column.Align == 'R' || column.Align == 'D') {
            area.adjust(0, 0, -indent, 0);
        } else if (column.Align == 'L') {
            area.adjust(indent, 0, 0, 0);
        }
        painter->save();
        bool selected = option.state & QStyle::State_Selected;
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        painter->drawText(area, static_cast<int>(AlignmentOf(column.Align)),
                          option.fontMetrics.elidedText(text, Qt::ElideRight, std::max(area.width(), 0)));
        if (column.RightBorder) {
            painter->setPen(option.palette.color(QPalette::Mid));
            painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        }
        painter->restore();
    }

private:
    const PageModel& model_;
    const DialogUnits& units_;
};

// The list itself: it moves nothing by itself, but tells its window what the user
// asks for, as the scroll events, and hands typed characters to the locator.
class PageView final : public QTableView {
public:
    std::function<void(int code, int key)> Post;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool ctrl = event->modifiers() & Qt::ControlModifier;
        const bool alt = event->modifiers() & Qt::AltModifier;
        switch (event->key()) {
            case Qt::Key_Up: Post(Event::ScrollUp, 0); return;
            case Qt::Key_Down: Post(Event::ScrollDown, 0); return;
            case Qt::Key_PageUp: Post(Event::PageUp, 0); return;
            case Qt::Key_PageDown: Post(Event::PageDown, 0); return;
            case Qt::Key_Home: Post(Event::ScrollTop, 0); return;
            case Qt::Key_End: Post(Event::ScrollBottom, 0); return;
            default: break;
        }
        QString text = event->text();
        if (!ctrl && !alt && text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() <= 0xFF &&
            text[0].unicode() != 0x7F) {
            Post(Event::AlertKey, Key::CharFlag | text[0].unicode());
            return;
        }
        QTableView::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override {
        wheel_ += event->angleDelta().y();
        while (wheel_ >= 120) {
            wheel_ -= 120;
            Post(Event::ScrollUp, 0);
        }
        while (wheel_ <= -120) {
            wheel_ += 120;
            Post(Event::ScrollDown, 0);
        }
        event->accept();
    }
    void keyboardSearch(const QString&) override {}

private:
    int wheel_ = 0;
};

class ListControl final : public QtControl, public ListWidgets {
public:
    ListControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), box_(new QWidget(host.ControlParent())) {
        view_ = new PageView;
        bar_ = new QScrollBar(Qt::Vertical);
        auto* layout = new QHBoxLayout(box_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(view_);
        layout->addWidget(bar_);
        box_->setFocusProxy(view_);
        box_->setFocusPolicy(Qt::StrongFocus);

        view_->setObjectName(QString::fromStdString(def.Name) + QStringLiteral(":rows"));
        view_->setModel(&model_);
        view_->setItemDelegate(new ColumnDelegate(model_, host.Units(), view_));
        view_->setSelectionBehavior(QAbstractItemView::SelectRows);
        view_->setSelectionMode(QAbstractItemView::SingleSelection);
        view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view_->setTabKeyNavigation(false);
        view_->setShowGrid(false);
        view_->setWordWrap(false);
        view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        view_->verticalHeader()->hide();
        view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view_->verticalHeader()->setDefaultSectionSize(QFontMetrics(box_->font()).height() + 4);
        view_->horizontalHeader()->setHighlightSections(false);
        view_->horizontalHeader()->setSectionsMovable(false);
        view_->Post = [this](int code, int key) { Host().PostControlEvent(code, Number(), key); };

        bar_->setObjectName(QString::fromStdString(def.Name) + QStringLiteral(":thumb"));
        bar_->setRange(0, 100);
        bar_->setPageStep(10);
        bar_->setFocusPolicy(Qt::NoFocus);
        QObject::connect(bar_, &QScrollBar::actionTriggered, bar_, [this](int action) { OnBarAction(action); });
        QObject::connect(bar_, &QScrollBar::sliderReleased, bar_, [this] {
            thumb_ = bar_->value();
            Host().PostControlEvent(Event::ScrollDrag, Number());
        });
        QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, view_,
                         [this](const QModelIndex& current) { OnCurrentRow(current); });
        QObject::connect(view_->horizontalHeader(), &QHeaderView::sectionResized, view_,
                         [this](int section, int, int size) { OnSectionResized(section, size); });
        QObject::connect(view_, &QAbstractItemView::pressed, view_,
                         [this](const QModelIndex& index) { column_ = index.column() + 1; });
        QObject::connect(qApp, &QApplication::focusChanged, view_,
                         [this](QWidget* from, QWidget* to) { OnFocusChanged(from, to); });

        std::string name = def.Tip.empty() ? def.Message : def.Tip;
        view_->setAccessibleName(QString::fromStdString(name));
        if (!def.Tip.empty()) view_->setAccessibleDescription(QString::fromStdString(def.Tip));
        Place(box_);
        if (!SetFormat(def.Picture)) SetFormat("80L@s255@");
    }

    QWidget* Widget() const override { return box_; }
    int Choice() const override { return choice_; }
    void SetChoice(int row) override {
        int rows = model_.rowCount({});
        choice_ = rows == 0 ? 0 : std::clamp(row, 1, rows);
        quiet_ = true;
        if (choice_ > 0) {
            view_->setCurrentIndex(model_.index(choice_ - 1, std::max(column_ - 1, 0)));
            view_->selectRow(choice_ - 1);
        } else {
            view_->clearSelection();
            view_->setCurrentIndex({});
        }
        quiet_ = false;
    }
    void Focus() override { view_->setFocus(Qt::OtherFocusReason); }

    void SetFields(const std::vector<const FieldDef*>& fields) override { model_.SetFields(fields); }
    void SetRows(const std::vector<std::string>& rows) override {
        quiet_ = true;
        model_.SetRows(rows);
        quiet_ = false;
        SetChoice(choice_);
    }
    int RowsShown() const override {
        if (QLayout* layout = box_->layout()) layout->activate();
        int rowHeight = std::max(1, view_->verticalHeader()->defaultSectionSize());
        int height = view_->viewport()->height();
        if (!view_->isVisible()) {
            // Before the list is first shown its viewport has no size yet: work it out.
            height = box_->height() - 2 * view_->frameWidth() - view_->horizontalHeader()->sizeHint().height();
        }
        return std::max(1, height / rowHeight);
    }
    std::string Format() const override { return ListFormat::Compose(model_.Columns()); }
    bool SetFormat(const std::string& format) override {
        std::vector<ListColumn> columns;
        if (!ListFormat::Parse(format, columns)) return false;
        model_.SetColumns(columns);
        quiet_ = true;
        QHeaderView* header = view_->horizontalHeader();
        for (size_t i = 0; i < columns.size(); ++i) {
            int section = static_cast<int>(i);
            header->setSectionResizeMode(section, columns[i].Resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
            // A column is never narrower than its heading, whatever the format (or the
            // format the user saved) gives it for the font in use.
            header->resizeSection(section, std::max(Host().Units().ToPixelsX(columns[i].Width), HeadingWidth(columns[i])));
        }
        header->setStretchLastSection(false);
        // A list without any header text shows no header bar.
        header->setVisible(std::any_of(columns.begin(), columns.end(), [](const ListColumn& c) { return c.HasHeader; }));
        quiet_ = false;
        SetChoice(choice_);
        return true;
    }
    int HeadingWidth(const ListColumn& column) const {
        if (column.Header.empty()) return 0;
        QHeaderView* header = view_->horizontalHeader();
        int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        return header->fontMetrics().horizontalAdvance(QString::fromStdString(column.Header)) + 2 * margin;
    }
    int Thumb() const override { return thumb_; }
    void SetThumb(int percent) override {
        thumb_ = std::clamp(percent, 0, 100);
        bar_->setValue(thumb_);
    }
    int ClickedColumn() const override { return column_; }

    void EditRow(int row, const std::vector<FieldRef>& cells, int column) override {
        EndEdit();
        const int columns = std::min(static_cast<int>(cells.size()), model_.columnCount({}));
        for (int c = 0; c < columns; ++c) {
            auto* entry = new QLineEdit(view_->viewport());
            const ListColumn& format = model_.Columns()[c];
            entry->setObjectName(QString::fromStdString(Def().Name) + QStringLiteral(":edit:") + QString::number(c + 1));
            entry->setAccessibleName(QString::fromStdString(format.Header));
            int limit = FieldTextLimit(cells[c], format.Picture);
            if (limit > 0) entry->setMaxLength(limit);
            entry->setValidator(new SingleByteValidator(entry));
            entry->setText(FieldDisplayText(cells[c], format.Picture));
            entry->setGeometry(view_->visualRect(model_.index(row - 1, c)));
            entry->show();
            editors_.push_back(entry);
        }
        cells_.assign(cells.begin(), cells.begin() + columns);
        FocusEdit(column);
    }
    void FocusEdit(int column) override {
        if (column >= 1 && column <= static_cast<int>(editors_.size()) && editors_[column - 1]) {
            editors_[column - 1]->setFocus(Qt::OtherFocusReason);
            editors_[column - 1]->selectAll();
        }
    }
    void UpdateEdit() override {
        for (size_t c = 0; c < editors_.size() && c < cells_.size(); ++c)
            if (editors_[c]) StoreFieldText(cells_[c], editors_[c]->text());
    }
    void EndEdit() override {
        if (editors_.empty()) return;
        ending_ = true;
        if (IsEditor(QApplication::focusWidget())) view_->setFocus(Qt::OtherFocusReason);
        for (QPointer<QLineEdit>& entry : editors_)
            if (entry) delete entry.data();
        editors_.clear();
        cells_.clear();
        ending_ = false;
    }
    // A row being edited is left as the focus leaving its entries leaves it.
    void Settle() override {
        if (!editors_.empty() && IsEditor(QApplication::focusWidget())) Host().PostControlEvent(Event::LoseFocus, Number());
    }
    KeyUse KeyPressed(QKeyEvent& event) override {
        if (editors_.empty() || !IsEditor(QApplication::focusWidget())) return KeyNotMine;
        int key = 0;
        switch (event.key()) {
            case Qt::Key_Tab: key = Key::Tab; break;
            case Qt::Key_Backtab: key = Key::ShiftTab; break;
            case Qt::Key_Return:
            case Qt::Key_Enter: key = Key::Enter; break;
            case Qt::Key_Escape: key = Key::Escape; break;
            case Qt::Key_Up: key = Key::Up; break;
            case Qt::Key_Down: key = Key::Down; break;
            default: return KeyToWidget;
        }
        if (key == Key::Tab && (event.modifiers() & Qt::ShiftModifier)) key = Key::ShiftTab;
        Host().PostControlEvent(Event::AlertKey, Number(), key);
        return KeyTaken;
    }

private:
    bool IsEditor(const QWidget* widget) const {
        return widget && std::any_of(editors_.begin(), editors_.end(),
                                     [widget](const QPointer<QLineEdit>& e) { return e.data() == widget; });
    }
    void OnFocusChanged(QWidget* from, QWidget* to) {
        if (ending_ || editors_.empty() || !IsEditor(from) || IsEditor(to) || !to) return;
        // A message or dialog of its own window takes the focus for a while; only a move
        // to another place of this window leaves the row.
        if (to->window() != box_->window()) return;
        Host().PostControlEvent(Event::LoseFocus, Number());
    }

    void OnBarAction(int action) {
        int code = 0;
        switch (action) {
            case QAbstractSlider::SliderSingleStepSub: code = Event::ScrollUp; break;
            case QAbstractSlider::SliderSingleStepAdd: code = Event::ScrollDown; break;
            case QAbstractSlider::SliderPageStepSub: code = Event::PageUp; break;
            case QAbstractSlider::SliderPageStepAdd: code = Event::PageDown; break;
            case QAbstractSlider::SliderToMinimum: code = Event::ScrollTop; break;
            case QAbstractSlider::SliderToMaximum: code = Event::ScrollBottom; break;
            default: return;  // the thumb itself is reported when it is let go
        }
        // The thumb stands where the rows put it, not where the click would move it.
        bar_->setSliderPosition(thumb_);
        Host().PostControlEvent(code, Number());
    }
    void OnCurrentRow(const QModelIndex& current) {
        if (quiet_ || !current.isValid()) return;
        choice_ = current.row() + 1;
        Host().PostControlEvent(Event::NewSelection, Number());
    }
    void OnSectionResized(int section, int size) {
        if (quiet_ || section < 0 || section >= static_cast<int>(model_.Columns().size())) return;
        ListColumn& column = model_.Columns()[section];
        column.Width = std::clamp(Host().Units().FromPixelsX(size), ListFormat::MinimumWidth, ListFormat::MaximumWidth);
    }

    QWidget* box_;
    PageView* view_ = nullptr;
    QScrollBar* bar_ = nullptr;
    PageModel model_;
    int choice_ = 0;
    int column_ = 1;
    int thumb_ = 0;
    bool quiet_ = false;
    std::vector<QPointer<QLineEdit>> editors_;
    std::vector<FieldRef> cells_;
    bool ending_ = false;
};

}  // namespace

std::unique_ptr<QtControl> MakeList(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<ListControl>(def, number, host);
}

}  // namespace verdo
