#include "settings/SelectFile.h"

#include "platform/File.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

#include <algorithm>
#include <cctype>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The sorted list box's order: symbols before digits before letters, letter case aside. "[..]"
// thereby always comes first and the folders before the files.
int CharClass(unsigned char c) {
    if (std::isdigit(c)) {
        return 1;
    }
    if (std::isalpha(c) || c >= 0x80) {
        return 2;
    }
    return 0;
}

bool ListsBefore(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto ux = static_cast<unsigned char>(x);
        const auto uy = static_cast<unsigned char>(y);
        if (CharClass(ux) != CharClass(uy)) {
            return CharClass(ux) < CharClass(uy);
        }
        return std::tolower(ux) < std::tolower(uy);
    });
}

constexpr int kKindRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

} // namespace

std::vector<std::string> AncestorEntries(std::string_view folder) {
    std::vector<std::string> entries{"\\"};
    if (folder.size() <= 1) {
        return entries;
    }
    std::string indent;
    std::size_t start = 1;
    while (start <= folder.size()) {
        const std::size_t end = std::min(folder.find('\\', start), folder.size());
        indent += "  ";
        entries.push_back(indent + std::string(folder.substr(start, end - start)));
        start = end + 1;
    }
    return entries;
}

std::string FolderOfAncestor(const std::vector<std::string>& entries, int s) {
    std::string folder;
    for (int i = 1; i <= s && i < static_cast<int>(entries.size()); ++i) {
        folder += '\\';
        folder += entries[i].substr(std::min<std::size_t>(2 * i, entries[i].size()));
    }
    return folder;
}

std::string ParentFolder(std::string_view folder) {
    const std::size_t last = folder.rfind('\\');
    return last == std::string_view::npos ? std::string() : std::string(folder.substr(0, last));
}

bool MatchesFilter(std::string_view name, std::string_view filter) {
    const QString filterText = FromUtf8(filter);
    return FromUtf8(name).right(filterText.size()).compare(filterText, Qt::CaseInsensitive) == 0;
}

std::vector<ChooserEntry> FolderListing(const platform::DeviceRoot& root, std::string_view folder,
                                        std::string_view filter) {
    std::vector<ChooserEntry> listing;
    if (!folder.empty()) {
        listing.push_back({"[..]", ChooserEntry::Parent, ".."});
    }
    const auto entries = platform::ListFolder(root, std::string(folder) + "\\");
    for (const platform::FolderEntry& entry : entries.value_or(std::vector<platform::FolderEntry>{})) {
        if (entry.isFolder && entry.name.front() != '.') {
            listing.push_back({"[" + entry.name + "]", ChooserEntry::Folder, entry.name});
        } else if (!entry.isFolder && MatchesFilter(entry.name, filter)) {
            listing.push_back({entry.name, ChooserEntry::File, entry.name});
        }
    }
    std::stable_sort(listing.begin(), listing.end(), [](const ChooserEntry& a, const ChooserEntry& b) {
        return ListsBefore(a.text, b.text);
    });
    return listing;
}

CSelectFile::CSelectFile(const platform::DeviceRoot& root, platform::MessageBox& messages, QWidget* parent)
    : CSettingsDialog(messages, tr("フォルダ選択"), QFont(QStringLiteral("MS UI Gothic"), 10), 161, 158,
                      parent),
      m_root(root) {
    m_labelName = Add(new QLabel(tr("フォルダ名：")), 1061, 7, 7, 47, 11);
    m_labelFolder = Add(new QLabel, 1140, 15, 22, 120, 26);
    m_labelFolder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labelFolder->setWordWrap(true);
    m_comboFolders = Add(new QComboBox, 1058, 9, 60, 128, 57);
    m_list = Add(new QListWidget, 1059, 9, 79, 127, 55);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_h = m_labelName->height();
    // The controls follow the client's size; the list keeps room for two lines.
    SetClientMinimum(QSize(m_labelName->width() + 20, 6 * m_h + 60));
    m_comboFolders->setMaxVisibleItems(10);

    connect(m_comboFolders, &QComboBox::activated, this, &CSelectFile::OnAncestorPicked);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnActivate(); });
    m_list->installEventFilter(this);
    Client()->installEventFilter(this);
}

void CSelectFile::OnInitDialog() {
    Refill();
    ShowFolder();
}

bool CSelectFile::UpdateData(bool save) {
    if (save) {
        m_strFolderText = m_labelFolder->text().toStdString();
    } else {
        m_labelFolder->setText(FromUtf8(m_strFolderText));
    }
    return true;
}

void CSelectFile::ShowFolder() {
    m_strFolderText = m_strFolder;
    UpdateData(false);
}

void CSelectFile::Refill() {
    m_comboFolders->clear();
    for (const std::string& entry : AncestorEntries(m_strFolder)) {
        m_comboFolders->addItem(FromUtf8(entry));
    }
    m_comboFolders->setCurrentIndex(m_comboFolders->count() - 1);

    m_list->clear();
    for (const ChooserEntry& entry : FolderListing(m_root, m_strFolder, m_strFilter)) {
        auto* item = new QListWidgetItem(FromUtf8(entry.text), m_list);
        item->setData(kKindRole, static_cast<int>(entry.kind));
        item->setData(kNameRole, FromUtf8(entry.name));
    }
    m_strFileName.clear();
    m_list->setCurrentRow(0);
    m_list->setFocus();
}

void CSelectFile::OnAncestorPicked(int s) {
    std::vector<std::string> entries;
    for (int i = 0; i < m_comboFolders->count(); ++i) {
        entries.push_back(m_comboFolders->itemText(i).toStdString());
    }
    m_strFolder = FolderOfAncestor(entries, s);
    Refill();
    ShowFolder();
}

bool CSelectFile::OnActivate() {
    const QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return false;
    }
    const std::string name = item->data(kNameRole).toString().toStdString();
    switch (static_cast<ChooserEntry::Kind>(item->data(kKindRole).toInt())) {
    case ChooserEntry::File:
        m_strFileName = name;
        UpdateData(false);
        return false;
    case ChooserEntry::Parent:
        m_strFolder = ParentFolder(m_strFolder);
        break;
    case ChooserEntry::Folder:
        m_strFolder += '\\';
        m_strFolder += name;
        break;
    }
    Refill();
    ShowFolder();
    return true;
}

void CSelectFile::Layout(int cx, int cy) {
    const int h = m_h;
    const int width = std::max(0, cx - 20);
    m_labelName->move(10, 10);
    m_labelName->resize(m_labelName->width(), h);
    m_labelFolder->setGeometry(15, h + 15, width, 2 * h);
    // The combo box's template height is that of its list when dropped down; closed, it keeps
    // its own height.
    m_comboFolders->setGeometry(10, 3 * h + 30, width, m_comboFolders->sizeHint().height());
    m_list->setGeometry(10, 4 * h + 50, width, std::max(0, cy - 4 * h - 60));
}

bool CSelectFile::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Client() && event->type() == QEvent::Resize) {
        Layout(Client()->width(), Client()->height());
    } else if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter on a folder opens it, as a double-click does; on a file, or with nothing
            // selected, it confirms the choice like OK.
            if (!OnActivate()) {
                OnOK();
            }
            return true;
        }
    }
    return CSettingsDialog::eventFilter(watched, event);
}
