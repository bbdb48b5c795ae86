#include "settings/SettingsDialog.h"

#include "settings/DataExchange.h"
#include "ui/DialogFit.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// The caption of the messages that refuse a field: the program's name.
constexpr std::string_view kMessageCaption = "Ambulo";

} // namespace

CSettingsDialog::CSettingsDialog(platform::MessageBox& messages, const QString& caption, const QFont& font,
                                 int width, int height, QWidget* parent)
    : QDialog(parent), m_messages(messages) {
    setWindowTitle(caption);
    setFont(font);
    // Dialog units: a quarter of the average letter width across, an eighth of the line height down.
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    m_baseY = metrics.height();

    m_menuBar = new QMenuBar(this);
    m_actOk = m_menuBar->addAction(QStringLiteral("OK"));
    m_actCancel = m_menuBar->addAction(tr("キャンセル"));
    connect(m_actOk, &QAction::triggered, this, [this] { OnOK(); });
    connect(m_actCancel, &QAction::triggered, this, [this] { done(IDCANCEL); });

    // The controls stand where the template puts them; a window smaller than the template scrolls
    // them rather than hiding any, a larger one leaves room around them.
    m_client = new QWidget;
    const QRect client = DialogUnitsToPixels(0, 0, width, height);
    m_client->setMinimumSize(client.size());
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_client);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_scroll);
    resize(client.width(), client.height() + m_menuBar->sizeHint().height());
    FitWindowToScreen(*this);
}

void CSettingsDialog::SetClientMinimum(const QSize& minimum) {
    m_client->setMinimumSize(minimum);
}

void CSettingsDialog::InitDialog() {
    if (m_initialised) {
        return;
    }
    m_initialised = true;
    OnInitDialog();
}

void CSettingsDialog::reject() {
    done(IDCANCEL);
}

void CSettingsDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled()) {
        button->click();
        return;
    }
    OnOK();
}

void CSettingsDialog::OnOK() {
    if (UpdateData(true)) {
        done(IDOK);
    }
}

void CSettingsDialog::Place(QWidget* control, int id, int x, int y, int w, int h) {
    control->setParent(m_client);
    control->setGeometry(DialogUnitsToPixels(x, y, w, h));
    if (id != 0) {
        m_items[id] = control;
    }
}

QRect CSettingsDialog::DialogUnitsToPixels(int x, int y, int w, int h) const {
    return {x * m_baseX / 4, y * m_baseY / 8, w * m_baseX / 4, h * m_baseY / 8};
}

bool CSettingsDialog::ExchangeNumber(bool save, QLineEdit* edit, double& value, double min, double max) {
    if (!save) {
        edit->setText(QString::fromStdString(FormatNumber(value)));
        return true;
    }
    const std::string message = ReadNumber(edit->text().toStdString(), min, max, value);
    if (!message.empty()) {
        Refuse(edit, message);
        return false;
    }
    return true;
}

bool CSettingsDialog::ExchangeInteger(bool save, QLineEdit* edit, int& value, int min, int max) {
    if (!save) {
        edit->setText(QString::number(value));
        return true;
    }
    const std::string message = ReadInteger(edit->text().toStdString(), min, max, value);
    if (!message.empty()) {
        Refuse(edit, message);
        return false;
    }
    return true;
}

void CSettingsDialog::ExchangeText(bool save, QLineEdit* edit, std::string& value) {
    if (save) {
        value = edit->text().toStdString();
    } else {
        edit->setText(QString::fromStdString(value));
    }
}

void CSettingsDialog::ExchangeCheck(bool save, QCheckBox* box, int& value) {
    if (save) {
        value = box->isChecked() ? 1 : 0;
    } else {
        box->setChecked(value != 0);
    }
}

void CSettingsDialog::Refuse(QLineEdit* edit, const std::string& message) {
    // A value outside its range is a warning; a field that holds no number is simply told.
    const bool plain = message == kEnterNumber || message == kEnterInteger;
    m_messages.Show(message, kMessageCaption, platform::MessageButtons::Ok,
                    plain ? platform::MessageIcon::None : platform::MessageIcon::Warning);
    edit->setFocus();
    edit->selectAll();
}
