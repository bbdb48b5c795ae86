#pragma once

#include "platform/DeviceRoot.h"
#include "platform/MessageBox.h"

#include <optional>
#include <string>
#include <string_view>

class QLineEdit;
class QWidget;

// Asking the user for a wave file for a sound setting: the desktop's file dialog in the program,
// a script in the tests.
class WaveFileChooser {
public:
    virtual ~WaveFileChooser() = default;
    // Offers the existing *.wav files under the title, starting from currentPath (a device path);
    // the device path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> Choose(QWidget* owner, std::string_view title,
                                              std::string_view currentPath) = 0;
};

// The file name buffer of the handheld's chooser held 260 characters with its terminator: the
// current path is handed over cut to 259, and a chosen path longer than that counts as no choice.
inline constexpr int kMaxWavePath = 259;
std::optional<std::string> ChooseWaveFile(WaveFileChooser& chooser, QWidget* owner, std::string_view title,
                                          std::string_view currentPath);

// The "..." of a sound setting: the field's text is the starting point, and a chosen file goes
// into the field and its member alone, so unsaved edits in other fields stay as they are.
void ChooseWaveFileInto(WaveFileChooser& chooser, QWidget* owner, std::string_view title, QLineEdit& field,
                        std::string& path);

// The desktop's file dialog, starting in the device root; a file chosen outside the root is copied
// into it (see AdoptWaveFile).
class QtWaveFileChooser final : public WaveFileChooser {
public:
    QtWaveFileChooser(const platform::DeviceRoot& root, platform::MessageBox& messages)
        : m_root(root), m_messages(messages) {}

    std::optional<std::string> Choose(QWidget* owner, std::string_view title,
                                      std::string_view currentPath) override;

private:
    const platform::DeviceRoot& m_root;
    platform::MessageBox& m_messages;
};

// Where sounds chosen from outside the device root are copied to.
inline constexpr std::string_view kSoundFolder = R"(\My Documents\Ambulo\Sound\)";

// The device path of a chosen host file: its own when it lies under the root, else that of its copy
// in the sound folder (a file of the same name there is replaced). A copy that fails is told through
// messages, with the reason, and gives nothing.
std::optional<std::string> AdoptWaveFile(const platform::DeviceRoot& root, const std::string& hostPath,
                                         platform::MessageBox& messages);

// The device path of a host file under the root ("\" and the components below the root), or
// nothing for a file outside it.
std::optional<std::string> HostToDevicePath(const platform::DeviceRoot& root, const std::string& hostPath);
