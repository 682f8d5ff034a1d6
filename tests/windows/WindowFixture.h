#pragma once
#include "core/ProgramNames.h"
#include "framework/SettingsFile.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/window/WindowSystem.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ProgramFixture.h"

namespace verdo::test {

// A program started for its windows: the store and messages of ProgramFixture, the
// settings file, the Qt window library, and a clock fixed at 24 December 2026, 13:45:30.
class WindowFixture : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        GlobalSettings().Open(SettingsFileName);
        SetWindowSystem(&windows);
    }
    void TearDown() override {
        SetWindowSystem(nullptr);
        GlobalSettings().Close();
        ProgramFixture::TearDown();
    }

    QtWindowSystem windows;
    FixedClock clock{Date{24, 12, 2026}, Time{13, 45, 30, 0}};
};

}  // namespace verdo::test
