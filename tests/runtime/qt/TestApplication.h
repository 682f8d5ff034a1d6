#pragma once
#include <memory>

#include <QApplication>
#include <gtest/gtest.h>

namespace verdo::test {

// The one QApplication of the window tests, offscreen. Another file of the binary may
// already have made one; then that one serves.
class TestApplication : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance()) return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "gui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const TestApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new TestApplication);

}  // namespace verdo::test
