#pragma once
#include <QString>
#include <string>

#include "runtime/window/WindowDef.h"

class QKeyEvent;
class QMdiArea;
class QMenuBar;
class QWidget;

namespace verdo {

class DialogUnits;
class QtControl;

// What a control needs of the window it lives in.
class ControlHost {
public:
    virtual QWidget* ControlParent() = 0;   // the client area controls are placed on
    virtual QWidget* ToolbarArea() = 0;     // nullptr when the window has no toolbar
    virtual QMenuBar* MenuBar() = 0;        // nullptr when the window has no menu bar
    virtual QMdiArea* MdiArea() = 0;        // the frame's, nullptr when there is none
    virtual const DialogUnits& Units() const = 0;
    virtual QtControl* FindControl(const std::string& name) const = 0;
    virtual void PostControlEvent(int code, int control, int key = 0) = 0;
    // A highlighted menu item or a pointed-at button shows its message in the first
    // status zone; an empty message puts back what was there.
    virtual void ShowMessage(const std::string& message) = 0;
    // A sheet changed its tab: controls on the tabs are shown or hidden.
    virtual void ChildrenVisibilityChanged() = 0;

protected:
    ~ControlHost() = default;
};

// One control of a window, built from its definition by the control factory. The
// widgets belong to the window's widget tree; a control only points at them.
class QtControl {
public:
    QtControl(const ControlDef& def, int number, ControlHost& host);
    virtual ~QtControl() = default;
    QtControl(const QtControl&) = delete;
    QtControl& operator=(const QtControl&) = delete;

    const ControlDef& Def() const { return def_; }
    int Number() const { return number_; }

    // The widget that takes focus, hover and mouse keys for the control; nullptr for
    // controls without one of their own (menus, tabs).
    virtual QWidget* Widget() const { return nullptr; }

    // Field to widget; widget to field, true when the field took a changed value.
    virtual void Display() {}
    virtual bool Update() { return false; }
    // Another control acts while this one keeps the focus (a button pressed by its
    // mnemonic, a toolbar button, a menu, a close request): what the user edited here
    // goes into its field first, exactly as leaving the control would put it there.
    virtual void Settle();
    // Before the window shows its fields again: the edit the user is making here goes
    // into the field, unless the program has meanwhile put a value of its own there,
    // which is then shown instead. True when the field took the edit.
    virtual bool KeepEdit() { return false; }

    virtual void SetText(const QString&) {}
    virtual void SetEnabled(bool enabled);
    virtual bool IsEnabled() const;
    virtual void SetShown(bool shown);
    virtual void Focus();
    // Whether controls that name this one as their parent can be seen (a tab: only
    // while it is the sheet's current tab).
    virtual bool ChildrenShown() const { return true; }
    virtual int Choice() const { return 0; }
    virtual void SetChoice(int) {}
    // A key pressed while the focus is in the control, before the window looks at it:
    // KeyTaken when the control dealt with it, KeyToWidget when the widget is to have it
    // without the window's alert keys and shortcuts, KeyNotMine otherwise.
    enum KeyUse { KeyNotMine, KeyTaken, KeyToWidget };
    virtual KeyUse KeyPressed(QKeyEvent&) { return KeyNotMine; }
    // Stacking from the bottom: sheets, then framing groups, then the other controls,
    // then click regions, which lie over the texts they belong to.
    virtual int Layer() const { return 2; }

protected:
    ControlHost& Host() const { return host_; }
    // Puts the widget on its parent at the definition's position; a size of 0 keeps
    // the widget's natural size. Tool tip, colour and font variant come along.
    void Place(QWidget* widget) const;

private:
    ControlDef def_;
    int number_;
    ControlHost& host_;
};

// A definition text ("&Close") as Qt shows it.
QString DefText(const std::string& text);

}  // namespace verdo
