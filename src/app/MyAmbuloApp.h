#pragma once

#include "app/QtMessageBox.h"

#include <QApplication>
#include <QTranslator>

#include <memory>

namespace platform {
class DeviceRoot;
class InstanceLock;
namespace device {
class DeviceServices;
}
} // namespace platform
class CMainFrame;
class CMyAmbuloDoc;
class ProgramDialogs;

// The program: the Qt application, the machine's services, the workout document and the main
// window, made in that order and taken down in reverse.
class CMyAmbuloApp {
public:
    // Qt's own command-line options are Qt's; the program has none of its own.
    CMyAmbuloApp(int& argc, char** argv);
    ~CMyAmbuloApp();
    CMyAmbuloApp(const CMyAmbuloApp&) = delete;
    CMyAmbuloApp& operator=(const CMyAmbuloApp&) = delete;

    // Starts the program and runs it to its end; the process's exit status.
    int Run();

    // The screens ask for "MS Gothic"; IPAGothic stands in for it. False when it is not installed.
    static bool SubstituteFonts();
    // Puts the help page that comes with the program beside it in the device root, unless the same
    // page is there already. False when it could not be written.
    static bool InstallHelpPage(const platform::DeviceRoot& root);

private:
    QApplication m_app;
    QTranslator m_translator;
    QtMessageBox m_messages;
    std::unique_ptr<platform::device::DeviceServices> m_device;
    std::unique_ptr<platform::InstanceLock> m_lock;
    std::unique_ptr<CMyAmbuloDoc> m_doc;
    std::unique_ptr<ProgramDialogs> m_dialogs;
    std::unique_ptr<CMainFrame> m_frame;
};
