#include "app/MyAmbuloApp.h"

#include "app/ProgramDialogs.h"

#include "app/MainFrame.h"
#include "app/VersionInfoDlg.h"
#include "engine/MyAmbuloDoc.h"
#include "platform/DesktopId.h"
#include "platform/DeviceRoot.h"
#include "platform/File.h"
#include "platform/InstanceLock.h"
#include "platform/Translate.h"
#include "platform/device/DeviceServices.h"
#include "ui/DialogSeam.h"
#include "view/MyAmbuloView.h"

#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr auto kHelpResource = ":/ambulo/ambl_readme.htm";
constexpr auto kHelpFile = "ambl_readme.htm";
constexpr auto kScreenFont = "MS Gothic";
constexpr auto kScreenFontSubstitute = "IPAGothic";
constexpr auto kEnglishTranslation = ":/ambulo/i18n/ambulo_en.qm";

std::string TranslateWithQt(const char* context, const char* text) {
    return QCoreApplication::translate(context, text).toStdString();
}

} // namespace

CMyAmbuloApp::CMyAmbuloApp(int& argc, char** argv) : m_app(argc, argv) {
    // QApplication takes the user's locale for everything. Numbers read and written through the C
    // library (here and in libgps) keep the decimal point whatever the language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Ambulo"));
    QApplication::setApplicationVersion(QStringLiteral("1.07"));
    QGuiApplication::setDesktopFileName(
        QString::fromUtf8(platform::kDesktopId.data(), static_cast<qsizetype>(platform::kDesktopId.size())));
    // Japanese is the program's own language: its texts are the sources and need no translator.
    // Files are written the same in every language; only what the screens show is translated.
    if (platform::ChooseUiLanguage(&std::getenv) == platform::UiLanguage::English) {
        if (m_translator.load(QString::fromLatin1(kEnglishTranslation))) {
            QCoreApplication::installTranslator(&m_translator);
            platform::SetTranslator(&TranslateWithQt);
        } else {
            std::fprintf(stderr, "ambulo: the English texts are missing; the screens stay Japanese\n");
        }
    }
    if (!SubstituteFonts()) {
        std::fprintf(stderr,
                     "ambulo: the font %s is missing (Debian package fonts-ipafont-gothic); the "
                     "screen uses another one\n",
                     kScreenFontSubstitute);
    }
}

CMyAmbuloApp::~CMyAmbuloApp() = default;

int CMyAmbuloApp::Run() {
    std::string error;
    m_device = platform::device::DeviceServices::Create(m_messages, error);
    if (!m_device) {
        m_messages.Show(error, platform::Tr("Ambulo", "エラー"), platform::MessageButtons::Ok, platform::MessageIcon::Error);
        return 1;
    }
    const platform::Services services = m_device->services();
    // Two programs on one device root would interleave their history lines and journals.
    m_lock = std::make_unique<platform::InstanceLock>(services.root);
    if (m_lock->state() == platform::InstanceLock::State::Taken) {
        std::fprintf(stderr, "ambulo: %s\n", platform::kAlreadyRunningText);
        m_messages.Show(platform::Tr("Ambulo", platform::kAlreadyRunningText), "Ambulo",
                        platform::MessageButtons::Ok, platform::MessageIcon::Warning);
        return 1;
    }
    m_doc = std::make_unique<CMyAmbuloDoc>(services);
    m_dialogs = std::make_unique<ProgramDialogs>(*m_doc, services);
    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_dialogs);
    // The About box says which receiver is read; with none named, that may change while running.
    m_frame->SetAboutBox([this](QWidget* owner) {
        CVersionInfoDlg(owner, QString::fromStdString(m_device->GpsDescription())).exec();
    });
    m_messages.SetParent(m_frame.get());
    m_dialogs->SetParent(m_frame.get());
    m_frame->EndOnSignalsAndSessionEnd();
    InstallHelpPage(services.root);

    m_frame->show();
    m_frame->View().OnInitialUpdate();
    // The first update may have ended the program already, from a message box's event loop.
    if (!m_frame->isVisible()) {
        return 0;
    }
    m_frame->View().Screen().RecoverInterruptedWorkout(true);
    if (!m_frame->isVisible()) {
        return 0;
    }
    return QApplication::exec();
}

bool CMyAmbuloApp::SubstituteFonts() {
    QFont::insertSubstitution(QString::fromLatin1(kScreenFont), QString::fromLatin1(kScreenFontSubstitute));
    // The dialogs ask for the handheld's proportional face or for its dialog face; both are drawn
    // in the same proportional Japanese face, so that the dialog units are measured in what draws
    // the labels.
    QFont::insertSubstitution(QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("MS Shell Dlg"), QStringLiteral("IPAPGothic"));
    return QFontInfo(QFont(QString::fromLatin1(kScreenFont))).family() ==
           QString::fromLatin1(kScreenFontSubstitute);
}

bool CMyAmbuloApp::InstallHelpPage(const platform::DeviceRoot& root) {
    QFile resource(QString::fromLatin1(kHelpResource));
    if (!resource.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray page = resource.readAll();
    const std::string_view bytes(page.constData(), static_cast<std::size_t>(page.size()));
    const std::string path = std::string(platform::kProgramFolder) + kHelpFile;
    // Rewriting an unchanged page on every start would only wear the storage.
    if (auto installed = platform::File::OpenExisting(root, path); installed.IsOpen()) {
        if (const auto old = installed.ReadAll(); old && *old == bytes) {
            return true;
        }
    }
    return platform::WriteFileAtomically(root, path, bytes);
}
