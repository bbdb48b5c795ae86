#include "settings/SelectFile.h"

#include "support/TestServices.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

TEST(FolderChooserDialog, NavigatesByEnterAndTheDropDownListAndEnterOnAFileConfirms) {
    // \My Documents\Ambulo with a folder, a hidden folder and files that a file rule could mistake.
    TestServices t;
    for (const char* file :
         {"Log/a.log", ".cache/b.log", "run.log", "run.txt", "[x].log", "B.LOG", "ambl0102.log"}) {
        t.temp.WriteHostFile(std::string("My Documents/Ambulo/") + file, "x");
    }
    // The entries of a list box or of a drop-down list, in their order.
    const auto texts = [](const QAbstractItemModel& model) {
        std::vector<std::string> entries;
        for (int i = 0; i < model.rowCount(); ++i) {
            entries.push_back(model.index(i, 0).data().toString().toStdString());
        }
        return entries;
    };
    CSelectFile dlg(t.temp.root(), t.messages);
    dlg.m_strFolder = R"(\My Documents\Ambulo)";
    dlg.InitDialog();
    auto* combo = dlg.Item<QComboBox>(1058);
    auto* list = dlg.Item<QListWidget>(1059);
    EXPECT_EQ(texts(*combo->model()), (std::vector<std::string>{"\\", "  My Documents", "    Ambulo"}));
    EXPECT_EQ(combo->currentIndex(), 2);
    // Folders before files, letter case aside; hidden folders and other endings left out.
    EXPECT_EQ(texts(*list->model()),
              (std::vector<std::string>{"[..]", "[Log]", "[x].log", "ambl0102.log", "B.LOG", "run.log"}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(dlg.Item<QLabel>(1140)->text().toStdString(), R"(\My Documents\Ambulo)");

    // A file whose name begins with a bracket is still a file: only the file name is taken, and
    // Enter on a file confirms like OK.
    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.m_strFileName, "[x].log");
    EXPECT_EQ(dlg.result(), IDOK);
    dlg.setResult(0);

    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents\Ambulo\Log)");
    EXPECT_EQ(dlg.m_strFileName, "");
    EXPECT_EQ(texts(*list->model()), (std::vector<std::string>{"[..]", "a.log"}));

    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents\Ambulo)");
    EXPECT_EQ(dlg.result(), 0); // opening a folder does not confirm

    // Ancestors are indented two blanks a level; picking one opens it, its parent is one up.
    dlg.OnAncestorPicked(1);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents)");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(texts(*combo->model()), std::vector<std::string>{"\\"});
    EXPECT_EQ(texts(*list->model()), std::vector<std::string>{"[My Documents]"});
    EXPECT_EQ(dlg.Item<QLabel>(1140)->text().toStdString(), "");
}
