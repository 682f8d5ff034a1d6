#pragma once

namespace verdo {

// What the settings file needs of a window to save and restore its placement.
// Positions and sizes are in the window's own units (dialog units).
class PlacedWindow {
public:
    virtual ~PlacedWindow() = default;

    virtual bool IsMinimized() const = 0;
    virtual bool IsMaximized() const = 0;
    virtual bool IsResizable() const = 0;

    virtual int X() const = 0;
    virtual int Y() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    virtual void SetPosition(int x, int y) = 0;
    virtual void SetSize(int width, int height) = 0;
    // False returns a maximized window to its normal state.
    virtual void SetMaximized(bool maximized) = 0;
};

}  // namespace verdo
