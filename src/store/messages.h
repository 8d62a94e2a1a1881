#pragma once
// The program's message box as the code below the windows sees it. The
// window supplies the real box; tests and the command-line tool answer
// through ScriptedMessages, so nothing ever blocks on a window there.

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace remindo {

enum WarningKind : int { kInformationBox = 1, kQuestionBox = 3 };
enum WarningIcon : int { kIconInfo = 1, kIconQuestion = 2, kIconAttention = 3 };
// Values of `WarningResult`.
enum WarningAnswer : int { kAnswerZamknij = 0, kAnswerTak = 1, kAnswerNie = 2, kAnswerAnuluj = 3 };

class Messages {
public:
    virtual ~Messages() = default;
    // Shows the box until it is answered and returns the answer. The text is
    // UTF-8; a carriage return starts a new line.
    virtual int ShowWarning(int kind, int icon, std::string_view text) = 0;
};

// Answers from a prepared queue (then `fallback`) and remembers what was shown.
class ScriptedMessages final : public Messages {
public:
    struct Shown {
        int kind;
        int icon;
        std::string text;
    };
    explicit ScriptedMessages(int fallback = kAnswerZamknij) : fallback_(fallback) {}
    void Answer(int answer) { answers_.push_back(answer); }
    int ShowWarning(int kind, int icon, std::string_view text) override
    {
        shown.push_back({kind, icon, std::string(text)});
        if (answers_.empty())
            return fallback_;
        const int a = answers_.front();
        answers_.pop_front();
        return a;
    }
    std::vector<Shown> shown;

private:
    std::deque<int> answers_;
    int fallback_;
};

} // namespace remindo
