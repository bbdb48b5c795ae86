#include "app/QtMessageBox.h"
#include "platform/Translate.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

platform::MessageAnswer QtMessageBox::Show(std::string_view text, std::string_view caption,
                                           platform::MessageButtons buttons) {
    QMessageBox box(m_parent);
    box.setWindowTitle(FromUtf8(caption));
    box.setText(FromUtf8(text));
    box.setTextFormat(Qt::PlainText); // file paths and figures, never markup
    box.setWindowModality(Qt::ApplicationModal);

    if (buttons == platform::MessageButtons::Ok) {
        // Every failure the user is told about comes with the caption "エラー" (in the user's language).
        box.setIcon(caption == platform::Tr("Ambulo", "エラー") ? QMessageBox::Critical
                                                                : QMessageBox::Information);
        box.addButton(QMessageBox::Ok);
        box.exec();
        return platform::MessageAnswer::Ok;
    }

    box.setIcon(QMessageBox::Question);
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
