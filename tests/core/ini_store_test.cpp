#include "config/ini_file.h"
#include "config/ini_store.h"
#include "config/program_folder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

class CIniStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolderForTesting(m_folder.Path()); }
    void TearDown() override { SetProgramFolderForTesting(""); }

    TempFolder m_folder;
};

struct NameCase {
    const char* keyPath;
    std::string section;
    std::string key;
};

TEST(CIniStoreNames, FirstDoubleColonDividesSectionFromKey) {
    const std::string longSection(300, 's');
    const std::string longKey(200, 'k');
    const NameCase cases[] = {
        {"HDDINFO::MODEL", "HDDINFO", "MODEL"},
        {"A::B::C", "A", "B::C"},
        {"MODEL", "MODEL", "MODEL"},
        {"::K", "", "K"},
        {"S::", "S", ""},
        {"A:B", "A:B", "A:B"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(CIniStore::GetSectionName(c.keyPath), c.section) << c.keyPath;
        EXPECT_EQ(CIniStore::GetKeyName(c.keyPath), c.key) << c.keyPath;
    }
    // Names are cut to 255 and 127 bytes; a "::" past byte 255 is not seen.
    const std::string keyPath = longSection + "::" + longKey;
    EXPECT_EQ(CIniStore::GetSectionName(keyPath.c_str()), std::string(255, 's'));
    EXPECT_EQ(CIniStore::GetKeyName(keyPath.c_str()), std::string(127, 'k'));
    // A "::" that straddles byte 255 divides the key but not the section.
    const std::string straddling = std::string(254, 's') + "::K";
    EXPECT_EQ(CIniStore::GetSectionName(straddling.c_str()), std::string(254, 's') + ":");
    EXPECT_EQ(CIniStore::GetKeyName(straddling.c_str()), "K");
    // A cut never splits a character: 100 three-byte characters cut at 255 bytes.
    std::string japanese;
    for (int i = 0; i < 100; ++i) {
        japanese += "温";
    }
    EXPECT_EQ(CIniStore::GetSectionName(japanese.c_str()).size(), 255u);
    EXPECT_EQ(CIniStore::GetKeyName(japanese.c_str()).size(), 126u);
}

TEST_F(CIniStoreTest, FirstReadOfAKeyPathIsCachedWithItsDefault) {
    m_folder.Write("r.ini", "[HDDINFO]\nMODEL=ST1\nEMPTY=\nNUM=12abc\n");
    CIniStore store;
    store.Open("r.ini");
    EXPECT_STREQ(store.GetString("HDDINFO::MODEL", "d"), "ST1");
    EXPECT_STREQ(store.GetString("HDDINFO::MISSING", "a"), "a");
    EXPECT_STREQ(store.GetString("HDDINFO::MISSING", "b"), "a");
    EXPECT_EQ(store.GetInt("HDDINFO::GONE", -1), -1);
    EXPECT_STREQ(store.GetString("HDDINFO::GONE", ""), "-1");
    EXPECT_EQ(store.GetInt("HDDINFO::GONE", 7), -1);
    EXPECT_STREQ(store.GetString("HDDINFO::EMPTY", "d"), "");
    EXPECT_EQ(store.GetInt("HDDINFO::EMPTY", 5), 0);
    EXPECT_EQ(store.GetInt("HDDINFO::NUM", 5), 12);
    // The cache is keyed by the key path as written; the file is not.
    EXPECT_STREQ(store.GetString("hddinfo::model", "d"), "ST1");
}

TEST_F(CIniStoreTest, KeyReadsShareTheCacheOfKeyPathsAsWritten) {
    m_folder.Write("r.ini", "[HDDINFO]\nMODEL=ST1\n");
    CIniStore store;
    store.Open("r.ini");
    const CIniStore::Key model("hddinfo::Model");
    const CIniStore::Key missing("HDDINFO::MISSING");
    EXPECT_STREQ(model.Path(), "hddinfo::Model");
    EXPECT_STREQ(store.GetString(model, "d"), "ST1");
    EXPECT_STREQ(store.GetString(missing, "a"), "a");
    EXPECT_STREQ(store.GetString("HDDINFO::MISSING", "b"), "a");
    EXPECT_STREQ(store.GetString("HDDINFO::GONE", "c"), "c");
    EXPECT_STREQ(store.GetString(CIniStore::Key("HDDINFO::GONE"), "e"), "c");
    // Reopening empties the cache for keys too.
    store.Open("r.ini");
    EXPECT_STREQ(store.GetString(missing, "f"), "f");
}

TEST_F(CIniStoreTest, TextsStayValidWhileOtherKeysAreRead) {
    std::string text = "[S]\n";
    for (int i = 0; i < 500; ++i) {
        text += "K" + std::to_string(i) + "=value" + std::to_string(i) + "\n";
    }
    m_folder.Write("many.ini", text);
    CIniStore store;
    store.Open("many.ini");
    const char* first = store.GetString("S::K0", "");
    for (int i = 1; i < 500; ++i) {
        store.GetString(("S::K" + std::to_string(i)).c_str(), "");
    }
    EXPECT_STREQ(first, "value0");
    EXPECT_EQ(first, store.GetString("S::K0", ""));
}

TEST_F(CIniStoreTest, OpenResolvesNamesInTheProgramFolderOnly) {
    m_folder.Write("attr_table.ini", "[S]\nK=program folder\n");
    TempFolder elsewhere;
    elsewhere.Write("attr_table.ini", "[S]\nK=current directory\n");
    char* saved = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(elsewhere.Path().c_str()), 0);

    struct Case {
        std::string name;
        std::string path;
    };
    const Case cases[] = {
        {"attr_table.ini", m_folder.Path() + "/attr_table.ini"},
        {"sub/dir/x.ini", m_folder.Path() + "/sub/dir/x.ini"},
        {"./attr_table.ini", m_folder.Path() + "/./attr_table.ini"},
        {"/abs/x.ini", "/abs/x.ini"},
    };
    for (const Case& c : cases) {
        CIniStore store;
        store.Open(c.name.c_str());
        EXPECT_EQ(store.Path(), c.path) << c.name;
    }
    CIniStore store;
    store.Open("attr_table.ini");
    EXPECT_STREQ(store.GetString("S::K", ""), "program folder");
    ASSERT_EQ(chdir(saved), 0);
    free(saved);
}

TEST_F(CIniStoreTest, ReopeningReadsTheNewFile) {
    m_folder.Write("a.ini", "[S]\nK=a\n");
    m_folder.Write("b.ini", "[S]\nK=b\n");
    CIniStore store;
    store.Open("a.ini");
    EXPECT_STREQ(store.GetString("S::K", ""), "a");
    store.Open("b.ini");
    EXPECT_STREQ(store.GetString("S::K", ""), "b");
}

TEST_F(CIniStoreTest, TextInMemoryReadsLikeAFileAndReplacesTheOpenedOne) {
    m_folder.Write("a.ini", "[S]\nK=file\n");
    CIniStore store;
    store.Open("a.ini");
    EXPECT_STREQ(store.GetString("S::K", ""), "file");
    store.OpenText("\xEF\xBB\xBF[s]\r\nk = \"memory\"\r\n");
    EXPECT_STREQ(store.GetString("S::K", ""), "memory");
    EXPECT_EQ(store.Path(), "");
    // Over the file limit it reads as a missing file would.
    store.OpenText("[S]\nK=big\n" + std::string(CIniFile::kMaxFileSize, ';'));
    EXPECT_STREQ(store.GetString("S::K", "default"), "default");
}

TEST_F(CIniStoreTest, ValuesAreCutToTheReadLimitOnCharacterBoundaries) {
    std::string value;
    for (int i = 0; i < 400; ++i) {
        value += "温"; // 1200 bytes
    }
    m_folder.Write("long.ini", "[S]\nK=" + value + "\nA=" + std::string(2000, 'a') + "\n");
    CIniStore store;
    store.Open("long.ini");
    EXPECT_EQ(std::string(store.GetString("S::K", "")), value.substr(0, 1023));
    EXPECT_EQ(std::string(store.GetString("S::A", "")).size(), CIniStore::kMaxValue);
}

TEST_F(CIniStoreTest, MissingFileGivesDefaults) {
    CIniStore store;
    store.Open("smart_PhysicalDrive9.ini");
    EXPECT_STREQ(store.GetString("HDDINFO::MODEL", ""), "");
    EXPECT_EQ(store.GetInt("HDDINFO::SIZE_GB", -1), -1);
    CIniStore unopened;
    EXPECT_STREQ(unopened.GetString("S::K", "dflt"), "dflt");
}

} // namespace
