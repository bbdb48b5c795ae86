#include "app/QtMessageBox.h"
#include "platform/Translate.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon ToQt(platform::MessageIcon icon) {
    switch (icon) {
    case platform::MessageIcon::None:
        return QMessageBox::NoIcon;
    case platform::MessageIcon::Information:
        return QMessageBox::Information;
    case platform::MessageIcon::Warning:
        return QMessageBox::Warning;
    case platform::MessageIcon::Error:
        return QMessageBox::Critical;
    case platform::MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

platform::MessageAnswer QtMessageBox::Show(std::string_view text, std::string_view caption,
                                           platform::MessageButtons buttons, platform::MessageIcon icon) {
    QMessageBox box(m_parent);
    box.setWindowTitle(FromUtf8(caption));
    box.setText(FromUtf8(text));
    box.setTextFormat(Qt::PlainText); // file paths and figures, never markup
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(ToQt(icon));

    if (buttons == platform::MessageButtons::Ok) {
        box.addButton(QMessageBox::Ok);
        box.exec();
        return platform::MessageAnswer::Ok;
    }

    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    // The standard buttons would follow Qt's own translations; the program's texts decide.
    yes->setText(QString::fromStdString(platform::Tr("Ambulo", "はい")));
    no->setText(QString::fromStdString(platform::Tr("Ambulo", "いいえ")));
    box.setDefaultButton(yes);
    box.setEscapeButton(no); // closing the box is no consent
    box.exec();
    return box.clickedButton() == yes ? platform::MessageAnswer::Yes : platform::MessageAnswer::No;
}
