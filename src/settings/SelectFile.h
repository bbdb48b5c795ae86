#pragma once

#include "platform/DeviceRoot.h"
#include "settings/SettingsDialog.h"

#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;

// A folder is written "" for the root, otherwise "\" and its components joined by "\", with no
// trailing backslash ("\My Documents\Ambulo").

// The drop-down entries for a folder: "\", then each component indented by two more blanks.
std::vector<std::string> AncestorEntries(std::string_view folder);
// The folder of drop-down entry s (0 is the root), rebuilt from the entries above it.
std::string FolderOfAncestor(const std::vector<std::string>& entries, int s);
// The folder one up; the root for a folder just below it.
std::string ParentFolder(std::string_view folder);
// A file is listed when its name ends with the filter, letter case aside; the filter is a literal
// ending, so one holding "*" lists nothing.
bool MatchesFilter(std::string_view name, std::string_view filter);

struct ChooserEntry {
    enum Kind { Parent, Folder, File };
    std::string text; // "[..]", "[name]" or the file name
    Kind kind = File;
    std::string name; // the folder or file name itself
    friend bool operator==(const ChooserEntry&, const ChooserEntry&) = default;
};

// The list of a folder as shown: "[..]" below the root, its folders (dot-names left out) and the
// files that match, in the list's sorted order. A folder that cannot be read lists only "[..]".
std::vector<ChooserEntry> FolderListing(const platform::DeviceRoot& root, std::string_view folder,
                                        std::string_view filter);

// "フォルダ選択": a browser of the device's folders. The caller sets m_strFolder (and m_strFilter)
// before running it, and on IDOK reads the chosen m_strFolder.
class CSelectFile final : public CSettingsDialog {
    Q_OBJECT
public:
    CSelectFile(const platform::DeviceRoot& root, platform::MessageBox& messages, QWidget* parent = nullptr);

    bool UpdateData(bool save) override;

    std::string m_strFolder;
    std::string m_strFilter{".LOG"};
    std::string m_strFileName;
    std::string m_strFolderText;

    // Rebuilds the drop-down list and the entry list from the file system for m_strFolder.
    void Refill();
    // The drop-down list closed on entry s.
    void OnAncestorPicked(int s);
    // A double-click or Enter on the selected list entry: a folder opens, a file fills the name. True
    // when a folder was opened.
    bool OnActivate();
    // Places the controls over a client area of cx x cy pixels.
    void Layout(int cx, int cy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog() override;
    void ShowFolder();

    const platform::DeviceRoot& m_root;
    QLabel* m_labelName;
    QLabel* m_labelFolder;
    QComboBox* m_comboFolders;
    QListWidget* m_list;
    int m_h; // height of the "フォルダ名：" label as the template lays it out
};
