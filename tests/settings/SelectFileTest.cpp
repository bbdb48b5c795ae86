#include "settings/SelectFile.h"

#include "support/TestServices.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// \My Documents\Ambulo with a folder, a hidden folder and files that a file rule could mistake.
void ArrangeAmbuloFolder(const TempRoot& temp) {
    temp.WriteHostFile("My Documents/Ambulo/Log/a.log", "x");
    temp.WriteHostFile("My Documents/Ambulo/.cache/b.log", "x");
    temp.WriteHostFile("My Documents/Ambulo/run.log", "x");
    temp.WriteHostFile("My Documents/Ambulo/run.txt", "x");
    temp.WriteHostFile("My Documents/Ambulo/[x].log", "x");
    temp.WriteHostFile("My Documents/Ambulo/B.LOG", "x");
}

std::vector<std::string> Texts(const QComboBox& combo) {
    std::vector<std::string> texts;
    for (int i = 0; i < combo.count(); ++i) {
        texts.push_back(combo.itemText(i).toStdString());
    }
    return texts;
}

std::vector<std::string> Texts(const QListWidget& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.count(); ++i) {
        texts.push_back(list.item(i)->text().toStdString());
    }
    return texts;
}

} // namespace

TEST(FolderChooserPaths, FilterIsALiteralEndingWithoutLetterCase) {
    EXPECT_TRUE(MatchesFilter("run.log", ".LOG"));
    EXPECT_FALSE(MatchesFilter("run.txt", ".LOG"));
    EXPECT_FALSE(MatchesFilter("LOG", ".LOG"));
    EXPECT_FALSE(MatchesFilter("ambl20080102.log", "ambl*.log"));
}

TEST(FolderChooserListing, FoldersKeepTheirKindApartFromNamesThatLookLikeThem) {
    TestServices t;
    ArrangeAmbuloFolder(t.temp);
    using E = ChooserEntry;
    const std::vector<ChooserEntry> expected{{"[..]", E::Parent, ".."},
                                             {"[Log]", E::Folder, "Log"},
                                             {"[x].log", E::File, "[x].log"},
                                             {"B.LOG", E::File, "B.LOG"},
                                             {"run.log", E::File, "run.log"}};
    EXPECT_EQ(FolderListing(t.temp.root(), R"(\My Documents\Ambulo)", ".LOG"), expected);
    const std::vector<ChooserEntry> foldersOnly{{"[..]", E::Parent, ".."}, {"[Log]", E::Folder, "Log"}};
    EXPECT_EQ(FolderListing(t.temp.root(), R"(\My Documents\Ambulo)", "ambl*.log"), foldersOnly);
    const std::vector<ChooserEntry> root{{"[My Documents]", E::Folder, "My Documents"}};
    EXPECT_EQ(FolderListing(t.temp.root(), "", ".LOG"), root);
    const std::vector<ChooserEntry> missing{{"[..]", E::Parent, ".."}};
    EXPECT_EQ(FolderListing(t.temp.root(), R"(\Nowhere)", ".LOG"), missing);
}

TEST(FolderChooserDialog, NavigatesByEnterAndTheDropDownList) {
    TestServices t;
    ArrangeAmbuloFolder(t.temp);
    CSelectFile dlg(t.temp.root(), t.messages);
    dlg.m_strFolder = R"(\My Documents\Ambulo)";
    dlg.InitDialog();
    dlg.show();
    auto* combo = dlg.Item<QComboBox>(1058);
    auto* list = dlg.Item<QListWidget>(1059);
    auto* folderText = dlg.Item<QLabel>(1140);
    EXPECT_EQ(Texts(*combo), (std::vector<std::string>{"\\", "  My Documents", "    Ambulo"}));
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"[..]", "[Log]", "[x].log", "B.LOG", "run.log"}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(folderText->text().toStdString(), R"(\My Documents\Ambulo)");

    // A file whose name begins with a bracket is still a file: only the file name is taken.
    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.m_strFileName, "[x].log");
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents\Ambulo)");

    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents\Ambulo\Log)");
    EXPECT_EQ(dlg.m_strFileName, "");
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"[..]", "a.log"}));
    EXPECT_EQ(folderText->text().toStdString(), R"(\My Documents\Ambulo\Log)");

    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents\Ambulo)");

    // Ancestors are indented two blanks a level; picking one opens it, its parent is one up.
    dlg.OnAncestorPicked(1);
    EXPECT_EQ(dlg.m_strFolder, R"(\My Documents)");
    EXPECT_EQ(Texts(*combo), (std::vector<std::string>{"\\", "  My Documents"}));
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.m_strFolder, "");
    dlg.OnAncestorPicked(0);
    EXPECT_EQ(dlg.m_strFolder, "");
    EXPECT_EQ(Texts(*combo), std::vector<std::string>{"\\"});
    EXPECT_EQ(Texts(*list), std::vector<std::string>{"[My Documents]"});
    EXPECT_EQ(folderText->text().toStdString(), "");
    dlg.OkAction()->trigger();
    EXPECT_EQ(dlg.result(), IDOK);
    EXPECT_EQ(dlg.m_strFolder, "");
}

TEST(FolderChooserDialog, LayoutFollowsTheClientSizeAndNeverGoesNegative) {
    TestServices t;
    CSelectFile dlg(t.temp.root(), t.messages);
    dlg.InitDialog();
    const int h = dlg.Item(1061)->height();
    dlg.Layout(300, 400);
    EXPECT_EQ(dlg.Item(1059)->geometry(), QRect(10, 4 * h + 50, 280, 400 - 4 * h - 60));
    EXPECT_EQ(dlg.Item(1140)->geometry(), QRect(15, h + 15, 280, 2 * h));
    EXPECT_EQ(dlg.Item(1058)->pos(), QPoint(10, 3 * h + 30));
    dlg.Layout(10, 20);
    EXPECT_EQ(dlg.Item(1059)->size(), QSize(0, 0));
}
