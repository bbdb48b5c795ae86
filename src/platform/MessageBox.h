#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
// The picture beside the text: what kind of message it is.
enum class MessageIcon { None, Information, Warning, Error, Question };

// The one seam every modal message goes through: the program shows a real box, tests answer from
// a script.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MessageAnswer Show(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon = MessageIcon::Information) = 0;
};

// Records every message and answers from a queue; with the queue empty, Ok boxes are answered Ok and
// Yes/No boxes with fallbackAnswer.
class ScriptedMessageBox final : public MessageBox {
public:
    struct Shown {
        std::string text;
        std::string caption;
        MessageButtons buttons;
        MessageIcon icon;
    };

    MessageAnswer Show(std::string_view text, std::string_view caption, MessageButtons buttons,
                       MessageIcon icon = MessageIcon::Information) override;

    std::deque<MessageAnswer> answers;
    MessageAnswer fallbackAnswer = MessageAnswer::No;
    std::vector<Shown> shown;
};

} // namespace platform
