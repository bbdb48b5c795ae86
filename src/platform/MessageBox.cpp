#include "platform/MessageBox.h"

namespace platform {

MessageAnswer ScriptedMessageBox::Show(std::string_view text, std::string_view caption,
                                       MessageButtons buttons, MessageIcon icon) {
    shown.push_back({std::string(text), std::string(caption), buttons, icon});
    if (!answers.empty()) {
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : fallbackAnswer;
}

} // namespace platform
