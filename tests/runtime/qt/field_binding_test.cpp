#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <cstddef>
#include <cstring>

#include "runtime/datetime/Pictures.h"
#include "runtime/qt/FieldBinding.h"
#include "runtime/text/Text.h"
#include "tests/runtime/qt/QtTestSupport.h"

namespace verdo {
namespace {

using test::Control;
using test::Find;

#pragma pack(push, 1)
struct Sample {
    char Name[10];
    int32_t Number;
    uint16_t Small;
    uint32_t Wide;
    Date Day;
    char Notes[24];
    uint8_t Flag;
};
#pragma pack(pop)

const FieldDef kName{"S:Name", "Name", FieldType::String, offsetof(Sample, Name), 10};
const FieldDef kNumber{"S:Number", "Number", FieldType::Long, offsetof(Sample, Number), 4};
const FieldDef kSmall{"S:Small", "Small", FieldType::UShort, offsetof(Sample, Small), 2};
const FieldDef kWide{"S:Wide", "Wide", FieldType::ULong, offsetof(Sample, Wide), 4};
const FieldDef kDay{"S:Day", "Day", FieldType::Date, offsetof(Sample, Day), 4};
const FieldDef kNotes{"S:Notes", "Notes", FieldType::Memo, offsetof(Sample, Notes), 24};
const FieldDef kFlag{"S:Flag", "Flag", FieldType::Byte, offsetof(Sample, Flag), 1};

Sample Filled() {
    Sample s{};
    AssignField(s.Name, "Caf\xE9 \xA9");
    s.Number = -42;
    s.Small = 7;
    s.Wide = 100000;
    s.Day = Date{21, 7, 2001};
    AssignField(s.Notes, "one\r\ntwo");
    s.Flag = 1;
    return s;
}

TEST(FieldBinding, ShowsRecordBytesAsCharactersAndStoresThemBack) {
    Sample s = Filled();
    EXPECT_EQ(FieldDisplayText({&s, &kName}, "@s10"), QString::fromUtf8("Café ©"));
    EXPECT_EQ(FieldDisplayText({&s, &kNotes}, ""), "one\ntwo");
    EXPECT_EQ(FieldDisplayText({&s, &kNumber}, "@n-14"), "-42");
    EXPECT_EQ(FieldDisplayText({&s, &kDay}, "@d17"), QString::fromStdString(FormatDate(s.Day, "@d17")));
    EXPECT_FALSE(FieldDisplayText({&s, &kDay}, "@d17").isEmpty());

    ASSERT_TRUE(StoreFieldText({&s, &kName}, QString::fromUtf8("© Ü and more than ten")));
    EXPECT_EQ(std::string(s.Name, 10), "\xA9 \xDC and mo");
    ASSERT_TRUE(StoreFieldText({&s, &kNotes}, "a\nb"));
    EXPECT_EQ(FieldText(s.Notes), "a\r\nb");
    EXPECT_FALSE(StoreFieldText({&s, &kDay}, "1/1/2001"));
    EXPECT_EQ(+s.Day.Year, 2001);
}

TEST(FieldBinding, NumbersStayWithinTheirTypeAndUnreadableTextChangesNothing) {
    Sample s = Filled();
    ASSERT_TRUE(StoreFieldText({&s, &kSmall}, "70000"));
    EXPECT_EQ(+s.Small, 65535);
    ASSERT_TRUE(StoreFieldText({&s, &kSmall}, "-3"));
    EXPECT_EQ(+s.Small, 0);
    ASSERT_TRUE(StoreFieldText({&s, &kNumber}, " 123 "));
    EXPECT_EQ(+s.Number, 123);
    ASSERT_TRUE(StoreFieldText({&s, &kNumber}, "99999999999999999999"));
    EXPECT_EQ(+s.Number, 2147483647);
    EXPECT_FALSE(StoreFieldText({&s, &kNumber}, "12x"));
    EXPECT_EQ(+s.Number, 2147483647);
    s.Number = 0;
    EXPECT_EQ(FieldDisplayText({&s, &kNumber}, "@n6B"), "");
    EXPECT_EQ(FieldDisplayText({&s, &kNumber}, "@n6"), "0");
    EXPECT_EQ(FieldTextLimit({&s, &kName}, "@s8"), 8);
    EXPECT_EQ(FieldTextLimit({&s, &kName}, "@s255"), 10);
}

WindowDef BoundForm(Sample& s) {
    WindowDef def;
    def.Procedure = "Bound";
    def.Width = 200;
    def.Height = 120;
    ControlDef name = Control("?S:NAME", ControlKind::Entry, 4, 4, 80, 10);
    name.Use = {&s, &kName};
    name.Picture = "@s10";
    ControlDef number = Control("?S:NUMBER", ControlKind::Entry, 4, 18, 60, 10);
    number.Use = {&s, &kNumber};
    number.Picture = "@n-14";
    ControlDef day = Control("?S:DAY", ControlKind::Entry, 4, 32, 60, 10);
    day.Use = {&s, &kDay};
    day.Picture = "@d17";
    ControlDef notes = Control("?S:NOTES", ControlKind::Text, 100, 4, 90, 40);
    notes.Use = {&s, &kNotes};
    ControlDef flag = Control("?S:FLAG", ControlKind::Check, 4, 46, 60, 10);
    flag.Text = "Flag";
    flag.Use = {&s, &kFlag};
    ControlDef wide = Control("?S:WIDE", ControlKind::Spin, 4, 60, 50, 10);
    wide.Use = {&s, &kWide};
    ControlDef shown = Control("?S:SHOWN", ControlKind::Prompt, 4, 74, 80, 10);
    shown.Use = {&s, &kName};
    def.Controls = {name, number, day, notes, flag, wide, shown};
    return def;
}

TEST(FieldBinding, ControlsShowTheirFieldsAndGiveBackWhatTheUserChanged) {
    Sample s = Filled();
    QtWindowSystem system;
    auto window = system.CreateWindow(BoundForm(s));
    test::RecordingHandler handler;
    window->SetHandler(&handler);
    window->Open();

    auto* name = Find<QLineEdit>(*window, "?S:NAME");
    EXPECT_EQ(name->text(), QString::fromUtf8("Café ©"));
    EXPECT_EQ(name->maxLength(), 10);
    EXPECT_EQ(Find<QLineEdit>(*window, "?S:NUMBER")->text(), "-42");
    EXPECT_TRUE(Find<QLineEdit>(*window, "?S:DAY")->isReadOnly());
    EXPECT_EQ(Find<QPlainTextEdit>(*window, "?S:NOTES")->toPlainText(), "one\ntwo");
    EXPECT_TRUE(Find<QCheckBox>(*window, "?S:FLAG")->isChecked());
    EXPECT_EQ(Find<QSpinBox>(*window, "?S:WIDE")->value(), 65535);
    EXPECT_EQ(Find<QLabel>(*window, "?S:SHOWN")->text(), QString::fromUtf8("Café ©"));

    name->setText(QString::fromUtf8("Ünï ©"));
    Find<QPlainTextEdit>(*window, "?S:NOTES")->setPlainText("x\ny");
    window->Update();
    EXPECT_EQ(std::string(s.Name, 10), "\xDCn\xEF \xA9     ");
    EXPECT_EQ(FieldText(s.Notes), "x\r\ny");
    // A spin box that could not show its value leaves the field alone until changed.
    EXPECT_EQ(+s.Wide, 100000u);

    AssignField(s.Name, "\xA9 2001");
    s.Number = 7;
    window->Display();
    EXPECT_EQ(name->text(), QString::fromUtf8("© 2001"));
    EXPECT_EQ(Find<QLineEdit>(*window, "?S:NUMBER")->text(), "7");

    Find<QCheckBox>(*window, "?S:FLAG")->click();
    EXPECT_EQ(+s.Flag, 0);
    EXPECT_TRUE(test::SpinUntil([&] { return handler.Has(Event::Accepted, 5); }));
}

TEST(FieldBinding, LeavingAChangedEntryStoresItBeforeTheAcceptedEvent) {
    Sample s = Filled();
    QtWindowSystem system;
    auto window = system.CreateWindow(BoundForm(s));
    test::RecordingHandler handler;
    std::string nameAtAccept;
    handler.Answer = [&](const WindowEvent& e) {
        if (e.Code == Event::Accepted && e.Control == 1) nameAtAccept = FieldText(s.Name);
        return 0;
    };
    window->SetHandler(&handler);
    window->Open();
    ASSERT_TRUE(test::SpinUntil([&] { return test::AsQt(*window).RootWidget()->isActiveWindow(); }));
    window->Select(1);
    ASSERT_TRUE(test::SpinUntil([&] { return window->FocusedControl() == 1; }));
    Find<QLineEdit>(*window, "?S:NAME")->setText("Typed");
    window->Select(2);
    ASSERT_TRUE(test::SpinUntil([&] { return handler.Has(Event::Accepted, 1); }));
    EXPECT_EQ(nameAtAccept, "Typed");
    auto at = [&](int code, int control) {
        for (size_t i = 0; i < handler.Events.size(); ++i)
            if (handler.Events[i].Code == code && handler.Events[i].Control == control) return i;
        return handler.Events.size();
    };
    ASSERT_TRUE(test::SpinUntil([&] { return handler.Has(Event::Selected, 2); }));
    EXPECT_LT(at(Event::Accepted, 1), at(Event::Selected, 2));

    // Validating everything takes the widgets in and then completes.
    Find<QLineEdit>(*window, "?S:NUMBER")->setText("-9");
    window->ValidateAll();
    EXPECT_EQ(+s.Number, -9);
    EXPECT_TRUE(test::SpinUntil([&] { return handler.Count(Event::Completed) == 1; }));
}

// An entry that already shows its field's value keeps what the user typed: the same text
// with blanks after it, a text of blanks alone too, but nothing else.
TEST(FieldBinding, ATextStandsForTheFieldOnlyWhenItDiffersByTrailingBlanks) {
    EXPECT_TRUE(ShowsFieldText("abc", "abc"));
    EXPECT_TRUE(ShowsFieldText("abc  ", "abc"));
    EXPECT_TRUE(ShowsFieldText(" ", ""));
    EXPECT_TRUE(ShowsFieldText("", ""));
    EXPECT_FALSE(ShowsFieldText(" abc", "abc"));
    EXPECT_FALSE(ShowsFieldText("ab", "abc"));
    EXPECT_FALSE(ShowsFieldText("abcd", "abc"));
    EXPECT_FALSE(ShowsFieldText("a", ""));
}

}  // namespace
}  // namespace verdo
