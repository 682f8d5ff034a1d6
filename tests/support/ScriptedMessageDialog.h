#pragma once
#include <deque>
#include <string>
#include <vector>

#include "runtime/window/MessageDialog.h"

namespace verdo::test {

// Answers messages from a queue of scripted answers, in order. A message that comes
// when no answer is left, or an answer left unused when the double goes away, fails
// the running test. Every request shown is kept for the test to inspect.
class ScriptedMessageDialog : public MessageDialog {
public:
    ~ScriptedMessageDialog() override;

    // The next message must have this title; it is answered with the button.
    void Expect(const std::string& title, unsigned answer);

    unsigned Show(const MessageRequest& request) override;

    const std::vector<MessageRequest>& Shown() const { return shown_; }
    void Clear() { shown_.clear(); }

private:
    struct Answer {
        std::string Title;
        unsigned Button;
    };
    std::deque<Answer> answers_;
    std::vector<MessageRequest> shown_;
};

}  // namespace verdo::test
