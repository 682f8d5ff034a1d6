#include "tests/support/ScriptedMessageDialog.h"

#include <gtest/gtest.h>

namespace verdo::test {

ScriptedMessageDialog::~ScriptedMessageDialog() {
    for (const Answer& a : answers_) ADD_FAILURE() << "scripted answer never asked for: \"" << a.Title << "\"";
}

void ScriptedMessageDialog::Expect(const std::string& title, unsigned answer) { answers_.push_back({title, answer}); }

unsigned ScriptedMessageDialog::Show(const MessageRequest& request) {
    shown_.push_back(request);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected message \"" << request.Title << "\": " << request.Text;
        return request.DefaultButton;
    }
    Answer a = answers_.front();
    answers_.pop_front();
    EXPECT_EQ(a.Title, request.Title) << "message text: " << request.Text;
    return a.Button;
}

}  // namespace verdo::test
