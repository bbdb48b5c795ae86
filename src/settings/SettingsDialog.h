#pragma once

#include "platform/MessageBox.h"

#include <QDialog>

#include <map>
#include <string>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenuBar;
class QScrollArea;

// Result codes of the settings dialogs: OK ends with 1, cancel (also Escape and closing the
// window) with 2.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// What the settings dialogs share: a menu bar with "OK" and "キャンセル", controls placed in dialog
// units of the dialog's font and found by their ids, and the exchange of members with controls,
// whose refusals go through the message seam with the focus on the field at fault.
class CSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Moves the members into the controls; on the way back (save) reads the controls into the
    // members, stopping at the first field refused.
    virtual bool UpdateData(bool save) = 0;

    // Start-up: moves the members into the controls and sets the states that depend on them. Runs
    // once, before the dialog is first shown; callers fill the members before.
    void InitDialog();

    QAction* OkAction() const { return m_actOk; }
    QAction* CancelAction() const { return m_actCancel; }

    // The control with this id, or null.
    template <class T = QWidget> T* Item(int id) const {
        const auto found = m_items.find(id);
        return found == m_items.end() ? nullptr : qobject_cast<T*>(found->second);
    }

    void reject() override;

protected:
    // Enter confirms the dialog like its OK, unless a push button has the focus: that one is pressed.
    void keyPressEvent(QKeyEvent* event) override;

    CSettingsDialog(platform::MessageBox& messages, const QString& caption, const QFont& font, int width,
                    int height, QWidget* parent);

    virtual void OnInitDialog() = 0;
    // By default the controls move into the members and the dialog ends with IDOK when all of
    // them are accepted.
    virtual void OnOK();

    // Creates a control on the client area at a place given in dialog units; id 0 for none.
    template <class T> T* Add(T* control, int id, int x, int y, int w, int h) {
        Place(control, id, x, y, w, h);
        return control;
    }
    void Place(QWidget* control, int id, int x, int y, int w, int h);
    QRect DialogUnitsToPixels(int x, int y, int w, int h) const;
    QWidget* Client() const { return m_client; }
    // A client whose controls follow its size may be smaller than the template.
    void SetClientMinimum(const QSize& minimum);

    bool ExchangeNumber(bool save, QLineEdit* edit, double& value, double min, double max);
    bool ExchangeInteger(bool save, QLineEdit* edit, int& value, int min, int max);
    static void ExchangeText(bool save, QLineEdit* edit, std::string& value);
    static void ExchangeCheck(bool save, QCheckBox* box, int& value);

    platform::MessageBox& m_messages;

private:
    void Refuse(QLineEdit* edit, const std::string& message);

    QMenuBar* m_menuBar = nullptr;
    QAction* m_actOk = nullptr;
    QAction* m_actCancel = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_client = nullptr;
    int m_baseX = 0;
    int m_baseY = 0;
    bool m_initialised = false;
    std::map<int, QWidget*> m_items;
};
