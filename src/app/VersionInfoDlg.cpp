#include "app/VersionInfoDlg.h"

#include "view/Pictures.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 32;

// A group box with one line of selectable text below its title.
QGroupBox* AddressBox(const QString& title, const QString& address, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* label = new QLabel(address, box);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(label);
    return box;
}

} // namespace

CVersionInfoDlg::CVersionInfoDlg(QWidget* parent, const QString& gpsSource) : QDialog(parent) {
    setWindowTitle(tr("バージョン情報 Ambulo"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QPixmap::fromImage(AppIcon(kIconSize)));
    icon->setAlignment(Qt::AlignTop);

    auto* names = new QVBoxLayout;
    for (const QString& line :
         {QStringLiteral("Ambulo"), QStringLiteral("Version 1.07"), QStringLiteral("Ambulo project")}) {
        names->addWidget(new QLabel(line, this));
    }
    if (!gpsSource.isEmpty()) {
        auto* source = new QLabel(QStringLiteral("GPS: ") + gpsSource, this);
        source->setObjectName(QStringLiteral("gpsSource"));
        names->addWidget(source);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(names, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(
        AddressBox(QStringLiteral("Suppor Web Site"), QStringLiteral("https://ambulo.invalid/"), this));
    layout->addWidget(
        AddressBox(QStringLiteral("Suppor E-mail"), QStringLiteral("support@ambulo.invalid"), this));
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
