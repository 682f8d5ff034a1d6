#include <gtest/gtest.h>

#include <QScreen>

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>

#include "runtime/qt/DialogUnits.h"
#include "runtime/qt/Pictures.h"
#include "tests/runtime/qt/QtTestSupport.h"

namespace verdo {
namespace {

using test::Control;
using test::Find;

// Dialog units measured independently of the library: the letters' average width
// in quarters, the line height in eighths.
struct ExpectedUnits {
    double x, y;
    explicit ExpectedUnits(const QFont& font) {
        QFontMetrics metrics(font);
        int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        x = ((letters / 26 + 1) / 2) / 4.0;
        y = metrics.height() / 8.0;
    }
    QRect Rect(int left, int top, int width, int height) const {
        return QRect(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
    }
};

WindowDef AboutLikeDialog() {
    WindowDef def;
    def.Procedure = "AboutBox";
    def.Kind = WindowKind::Dialog;
    def.Title = "About VERDO";
    def.Width = 218;
    def.Height = 65;
    ControlDef prompt = Control("?PROMPT4", ControlKind::Prompt, 60, 32);
    prompt.Text = "mail@example.org";
    prompt.Color = 0x0000FF;
    prompt.Font = "underline";
    ControlDef region = Control("?REGION2", ControlKind::Region, 60, 33, 91, 8);
    region.Cursor = "NoSuchCursor.cur";
    ControlDef entry = Control("?ENTRY", ControlKind::Entry, 10, 4, 40, 10);
    ControlDef close = Control("?CLOSE", ControlKind::Button, 162, 41, 45, 14);
    close.Text = "Close";
    close.Tip = "Close the box";
    def.Controls = {region, prompt, entry, close};
    return def;
}

TEST(QtWindowLayout, ControlsSitAtTheirDialogUnitGeometryAndAreNumberedInListOrder) {
    QtWindowSystem system;
    auto window = system.CreateWindow(AboutLikeDialog());
    window->Open();

    QWidget* root = test::AsQt(*window).RootWidget();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->objectName(), "AboutBox");
    EXPECT_EQ(root->windowTitle(), "About VERDO");
    EXPECT_EQ(root->font().pointSize(), 8);
    EXPECT_EQ(root->font().styleHint(), QFont::SansSerif);

    ExpectedUnits units(root->font());
    auto* close = Find<QPushButton>(*window, "?CLOSE");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->geometry(), units.Rect(162, 41, 45, 14));
    EXPECT_EQ(close->toolTip(), "Close the box");
    EXPECT_EQ(Find(*window, "?ENTRY")->geometry(), units.Rect(10, 4, 40, 10));
    EXPECT_EQ(Find(*window, "?PROMPT4")->pos(), units.Rect(60, 32, 0, 0).topLeft());
    EXPECT_EQ(Find(*window, "?PROMPT4")->parentWidget()->size(), units.Rect(0, 0, 218, 65).size());

    EXPECT_EQ(window->ControlNumber("?REGION2"), 1);
    EXPECT_EQ(window->ControlNumber("?CLOSE"), 4);
    EXPECT_EQ(window->ControlNumber("?NONE"), 0);
    EXPECT_EQ(window->ControlName(2), "?PROMPT4");
    EXPECT_EQ(window->Width(), 218);
    EXPECT_EQ(window->Height(), 65);
}

TEST(QtWindowLayout, ClickRegionLiesOverItsTextWithAHandCursorAndTakesTheClick) {
    QtWindowSystem system;
    auto window = system.CreateWindow(AboutLikeDialog());
    test::RecordingHandler handler;
    window->SetHandler(&handler);
    window->Open();

    auto* prompt = Find<QLabel>(*window, "?PROMPT4");
    QWidget* region = Find(*window, "?REGION2");
    ASSERT_TRUE(prompt && region);
    EXPECT_EQ(prompt->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(prompt->font().underline());
    // The region was listed first yet lies on top, so the click reaches it.
    QPoint inside = region->geometry().center();
    EXPECT_EQ(region->parentWidget()->childAt(inside), region);
    EXPECT_EQ(region->cursor().shape(), Qt::PointingHandCursor);

    QPoint local = region->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, local, region->mapToGlobal(local), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, region->mapToGlobal(local), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(region, &press);
    QApplication::sendEvent(region, &release);
    EXPECT_TRUE(test::SpinUntil([&] { return handler.Has(Event::Accepted, 1); }));
}

TEST(QtWindowLayout, MissingPicturesLoadAsNothing) {
    EXPECT_TRUE(PicturePath("no-such-picture.bmp").isEmpty());
    EXPECT_TRUE(LoadPicture("no-such-picture.bmp").isNull());
    EXPECT_TRUE(LoadIcon("no-such-picture.ico").isNull());
    EXPECT_EQ(LoadCursor("no-such-cursor.cur", Qt::PointingHandCursor).shape(), Qt::PointingHandCursor);
}

TEST(QtWindowLayout, ControlsOnATabShowOnlyWhileTheirTabIsInFront) {
    WindowDef def;
    def.Procedure = "Sheets";
    def.Width = 200;
    def.Height = 150;
    ControlDef sheet = Control("?SHEET", ControlKind::Sheet, 2, 2, 190, 140);
    ControlDef first = Control("?TAB:1", ControlKind::Tab, 0, 0);
    first.Text = "General";
    first.Parent = "?SHEET";
    ControlDef second = Control("?TAB:2", ControlKind::Tab, 0, 0);
    second.Text = "Notes";
    second.Parent = "?SHEET";
    ControlDef onFirst = Control("?NAME", ControlKind::Entry, 10, 20, 50, 10);
    onFirst.Parent = "?TAB:1";
    ControlDef onSecond = Control("?NOTES", ControlKind::Entry, 10, 20, 50, 10);
    onSecond.Parent = "?TAB:2";
    ControlDef hidden = Control("?HIDDEN", ControlKind::Button, 10, 40, 40, 12);
    hidden.Parent = "?TAB:2";
    hidden.Hidden = true;
    ControlDef group = Control("?GROUP", ControlKind::Group, 5, 15, 100, 40);
    group.Text = "Project";
    def.Controls = {onFirst, sheet, first, second, onSecond, hidden, group};

    QtWindowSystem system;
    auto window = system.CreateWindow(def);
    test::RecordingHandler handler;
    window->SetHandler(&handler);
    window->Open();
    QWidget* name = Find(*window, "?NAME");
    QWidget* notes = Find(*window, "?NOTES");
    auto* tabs = Find<QTabWidget>(*window, "?SHEET");
    ASSERT_TRUE(name && notes && tabs);
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "Notes");
    EXPECT_TRUE(name->isVisible());
    EXPECT_FALSE(notes->isVisible());
    EXPECT_EQ(window->Choice(2), 1);
    // The sheet lies under the controls even when listed after them.
    EXPECT_EQ(name->parentWidget()->childAt(name->geometry().center()), name);
    EXPECT_NE(Find<QGroupBox>(*window, "?GROUP"), nullptr);

    window->Select(window->ControlNumber("?NOTES"));
    EXPECT_EQ(window->Choice(2), 2);
    EXPECT_FALSE(name->isVisible());
    EXPECT_TRUE(notes->isVisible());
    EXPECT_FALSE(Find(*window, "?HIDDEN")->isVisible());
    EXPECT_TRUE(test::SpinUntil([&] { return handler.Has(Event::NewSelection, 2); }));

    window->SetControlHidden(window->ControlNumber("?HIDDEN"), false);
    EXPECT_TRUE(Find(*window, "?HIDDEN")->isVisible());
    window->SetChoice(2, 1);
    EXPECT_FALSE(Find(*window, "?HIDDEN")->isVisible());
}

WindowDef SplashLike() {
    WindowDef def;
    def.Procedure = "VerdoSplash";
    def.Kind = WindowKind::Popup;
    def.Width = 199;
    def.Height = 130;
    ControlDef picture = Control("?IMAGE1", ControlKind::Image, 0, 0, 198, 119);
    picture.Picture = "logo.bmp";
    def.Controls = {picture};
    return def;
}

TEST(QtWindowLayout, RoundedRegionCutsTheCornersAndAnEmptyOneShowsNothing) {
    QtWindowSystem system;
    auto window = system.CreateWindow(SplashLike());
    window->Open();
    QWidget* root = test::AsQt(*window).RootWidget();
    EXPECT_TRUE(root->windowFlags() & Qt::FramelessWindowHint);
    int w = window->PixelWidth();
    int h = window->PixelHeight();
    ASSERT_GT(w, 60);
    ASSERT_GT(h, 60);

    window->SetRoundedRegion(0, 0, w, h, 30, 30);
    QRegion mask = root->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(w - 1, h - 1)));
    EXPECT_FALSE(mask.contains(QPoint(2, 2)));
    EXPECT_TRUE(mask.contains(QPoint(w / 2, 0)));
    EXPECT_TRUE(mask.contains(QPoint(0, h / 2)));
    EXPECT_TRUE(mask.contains(QPoint(15, 15)));
    EXPECT_TRUE(mask.contains(QPoint(w - 1, h / 2)));

    window->SetRoundedRegion(20, 20, w - 20, h - 20, 30, 30);
    EXPECT_FALSE(root->mask().contains(QPoint(10, h / 2)));
    EXPECT_TRUE(root->mask().contains(QPoint(20, h / 2)));

    // A closing animation that shrinks past the middle ends with no rectangle at all.
    int past = (h + 1) / 2;
    window->SetRoundedRegion(past, past, w - past, h - past, 30, 30);
    EXPECT_FALSE(root->mask().isEmpty());
    EXPECT_FALSE(root->mask().intersects(root->rect()));
}

TEST(QtWindowLayout, PlacementRoundTripsInDialogUnitsAndSurvivesMaximizing) {
    WindowDef def;
    def.Procedure = "Placed";
    def.Kind = WindowKind::Dialog;
    def.Resizable = true;
    def.CanMaximize = true;
    def.Width = 120;
    def.Height = 80;
    QtWindowSystem system;
    auto window = system.CreateWindow(def);
    window->Open();
    EXPECT_TRUE(window->IsResizable());

    window->SetPosition(30, 40);
    window->SetSize(150, 90);
    EXPECT_EQ(window->X(), 30);
    EXPECT_EQ(window->Y(), 40);
    EXPECT_EQ(window->Width(), 150);
    EXPECT_EQ(window->Height(), 90);

    window->SetMaximized(true);
    EXPECT_TRUE(test::SpinUntil([&] { return window->IsMaximized(); }));
    EXPECT_EQ(window->X(), 30);
    EXPECT_EQ(window->Width(), 150);
    window->SetSize(160, 100);
    window->SetMaximized(false);
    EXPECT_TRUE(test::SpinUntil([&] { return !window->IsMaximized(); }));
    EXPECT_EQ(window->Width(), 160);
    EXPECT_EQ(window->Height(), 100);
    EXPECT_EQ(window->Y(), 40);
}

TEST(QtWindowLayout, PlacementsFromAnEditedSettingsFileStayWithinReach) {
    WindowDef def;
    def.Procedure = "Placed";
    def.Kind = WindowKind::Dialog;
    def.Resizable = true;
    def.Width = 120;
    def.Height = 80;
    QtWindowSystem system;
    auto window = system.CreateWindow(def);
    window->Open();
    QWidget* root = test::AsQt(*window).RootWidget();
    QRect screen = root->screen()->availableGeometry();

    for (auto [x, y] : {std::pair{2000000000, 2000000000}, std::pair{-2000000000, -2000000000}}) {
        window->SetPosition(x, y);
        QRect at = root->frameGeometry();
        EXPECT_TRUE(at.intersects(screen)) << x << "," << y << " placed the window out of reach";
        EXPECT_GE(at.top(), screen.top());
    }
    window->SetSize(2000000000, -5);
    EXPECT_GT(window->Height(), 0);
    // A size from the settings file is held within the screen: a window larger than the
    // screen has edges nobody can reach, and would cost its pixels in memory.
    window->SetSize(99999, 99999);
    EXPECT_LE(root->frameGeometry().width(), screen.width());
    EXPECT_LE(root->frameGeometry().height(), screen.height());
    EXPECT_GT(window->Width(), def.Width);
}

}  // namespace
}  // namespace verdo
