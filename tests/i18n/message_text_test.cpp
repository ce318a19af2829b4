// Message lookup, placeholders, language columns and the empty-text report.
#include <gtest/gtest.h>

#include "i18n/ldm.h"

namespace tarnvel::i18n {
namespace {

constexpr int kEnglish = 3;

class MessageText : public ::testing::Test {
 protected:
  MessageText() : ldm(EmbeddedSilTable()) { ldm.Sild.SetActiveLanguage(kEnglish); }

  std::string Text(std::string_view id, std::array<std::string_view, 10> args = Nulls()) const {
    return MessageTextFrom(ldm.Sil, id, args);
  }
  static std::array<std::string_view, 10> Nulls() {
    std::array<std::string_view, 10> a;
    a.fill(kNull);
    return a;
  }
  static std::array<std::string_view, 10> Args(std::initializer_list<std::string_view> first) {
    auto a = Nulls();
    std::size_t i = 0;
    for (std::string_view v : first) a[i++] = v;
    return a;
  }

  TLDM ldm;
};

TEST_F(MessageText, EnglishTextsAsTheProgramShowsThem) {
  EXPECT_EQ(Text("uUpdate_MyCreateDir_1", Args({"C:\\X"})), "It is impossible to create the folder C:\\X!");
  EXPECT_EQ(Text("uUpdate_UpdateProgramm_42", Args({"C:\\T\\", "New"})),
            "The temporary folder: C:\\T\\New can't be deleted. Please try to delete it manually after you "
            "have rebooted your computer.");
  EXPECT_EQ(Text("uMain_OkBtn_2"), "The updating is in progress\u2026");
  EXPECT_EQ(Text("uMain_Finished_3"),
            "The updating passed with errors!\r\nThe rollback of changes has been terminated.");
  EXPECT_EQ(Text("uIS_TarnVel_8"), "Updating the client part");
}

TEST_F(MessageText, IdentifierIgnoresCaseAndUnknownGivesEmpty) {
  EXPECT_EQ(Text("UMAIN_OKBTN_2"), Text("uMain_OkBtn_2"));
  EXPECT_FALSE(Text("UMAIN_OKBTN_2").empty());
  EXPECT_EQ(Text("uMain_NoSuchMessage_1"), "");
  EXPECT_EQ(Text(""), "");
}

TEST_F(MessageText, PlaceholdersFilledInOrder) {
  const char* kId = "uUpdate_UpdateProgramm_42";  // "...: {0}{1} can't be deleted..."
  EXPECT_NE(Text(kId).find("{0}{1}"), std::string::npos);                         // *Null* keeps both
  EXPECT_NE(Text(kId, Args({"*Null*", "B"})).find("{0}B can't"), std::string::npos);
  EXPECT_NE(Text(kId, Args({"*null*", "B"})).find("*null*B"), std::string::npos);  // only the exact marker
  EXPECT_NE(Text(kId, Args({"", "B"})).find(": B can't"), std::string::npos);     // empty removes
  // An earlier argument holding a later placeholder gets it filled too.
  EXPECT_NE(Text(kId, Args({"<{1}>", "B"})).find("<B>B can't"), std::string::npos);
  // A later placeholder inside a later argument stays as it is.
  EXPECT_NE(Text(kId, Args({"A", "{0}"})).find("A{0} can't"), std::string::npos);
  // An argument holding its own placeholder ends.
  EXPECT_NE(Text(kId, Args({"{0}", "B"})).find("{0}B"), std::string::npos);
}

TEST_F(MessageText, EveryLanguageColumnHasItsOwnTextWithTheSamePlaceholders) {
  std::vector<std::string> texts;
  for (int language = 2; language <= 5; ++language) {
    ldm.Sild.SetActiveLanguage(language);
    EXPECT_EQ(ldm.Sil.ActiveLanguage(), language);
    const std::string text = Text("uUpdate_UpdateProgramm_42");
    EXPECT_NE(text.find("{0}"), std::string::npos) << language;
    EXPECT_NE(text.find("{1}"), std::string::npos) << language;
    texts.push_back(text);
  }
  EXPECT_NE(texts[0], texts[1]);  // Russian differs from English
  EXPECT_NE(texts[2], texts[1]);  // German
  EXPECT_NE(texts[3], texts[1]);  // French
}

TEST(MessageTextFallback, EmptyOrMissingColumnFallsBackToColumnOne) {
  TLDM ldm(CatalogueTable::Load(
      "stStrings\r\n"
      "uA_B_1\x01" "first\x01second\x01\x01" "vier\x01" "cinq\x01\r\n"
      "uA_B_2\x01" "only one\x01\r\n"));
  ldm.Sild.SetActiveLanguage(kEnglish);
  std::array<std::string_view, 10> nulls;
  nulls.fill(kNull);
  EXPECT_EQ(MessageTextFrom(ldm.Sil, "uA_B_1", nulls), "first");
  EXPECT_EQ(MessageTextFrom(ldm.Sil, "uA_B_2", nulls), "only one");
  ldm.Sild.SetActiveLanguage(4);
  EXPECT_EQ(MessageTextFrom(ldm.Sil, "uA_B_1", nulls), "vier");
}

TEST(EmptyTexts, ReportNamesOwnerComponentSectionAndColumnOneText) {
  TLDM ldm(EmbeddedSilTable());
  Catalogue window("Sill", "frmMain",
                   CatalogueTable::Load("stCaptions\r\n"
                                        "OKBtn\x01&\xD1\xF2\xE0\xF0\xF2\x01&\xD1\xF2\xE0\xF0\xF2\x01\x01&Start\x01\r\n"
                                        "CancelBtn\x01\xC2\xFB\xF5\xEE\xE4\x01\xC2\xFB\xF5\xEE\xE4\x01" "Exit\x01\r\n"
                                        "TfrmMain\x01\x01\r\n"  // no design text: nothing to report
                                        "stStrings\r\n"
                                        "uX_Y_1\x01\xF2\x01\xF2\x01\x01" "d\x01" "f\x01\r\n"));
  ldm.Sild.SetActiveLanguage(kEnglish);
  const std::string linkReport = ldm.Sild.Link(window);
  EXPECT_EQ(window.ActiveLanguage(), kEnglish);
  EXPECT_EQ(linkReport,
            "Check for emptyes in:\r\r"
            "frmMain:Sill (Captions):\r  OKBtn:&Старт\r"
            " (Strings):\r  uX_Y_1:т");
  ldm.Sild.SetActiveLanguage(4);  // German: CancelBtn and uX_Y_1 have nothing
  EXPECT_EQ(window.ActiveLanguage(), 4);
  EXPECT_EQ(ldm.CheckEmptyTexts(window),
            "Check for emptyes in:\r\rfrmMain:Sill (Captions):\r  CancelBtn:Выход\r");  // the CR after a captions part stays
  ldm.Sild.Unlink(window);
}

TEST(EmptyTexts, StartUpReportWaitsForTheWindowAndLdmOwnComponentsReportNothingOnLink) {
  // A message with no translation at all is empty in whatever language the
  // system gives.
  TLDM ldm(CatalogueTable::Load("stStrings\r\nuX_Y_1\x01\xF2\x01\r\n"));
  EXPECT_EQ(ldm.StartupReport(), "");
  const std::string returned = ldm.DataModuleCreate();
  EXPECT_EQ(returned, "Check for emptyes in:\r\rLDM:Sil (Strings):\r  uX_Y_1:т");
  EXPECT_EQ(ldm.StartupReport(), returned);
  EXPECT_EQ(ldm.Sild.Link(ldm.Sil), "");
}

TEST(EmptyTexts, ShippedMessageTableIsCompleteInEveryLanguage) {
  TLDM ldm(EmbeddedSilTable());
  for (int language = 2; language <= 5; ++language) {
    ldm.Sild.SetActiveLanguage(language);
    EXPECT_EQ(ldm.CheckEmptyTexts(ldm.Sil), "") << language;
  }
}

TEST(EmptyTexts, ShippedWindowTableIsCompleteInEveryLanguage) {
  TLDM ldm(EmbeddedSilTable());
  Catalogue window("Sill", "frmMain", EmbeddedSillTable());
  ldm.Sild.Link(window);
  for (int language = 2; language <= 5; ++language) {
    ldm.Sild.SetActiveLanguage(language);
    EXPECT_EQ(ldm.CheckEmptyTexts(window), "") << language;
  }
  ldm.Sild.Unlink(window);
}

TEST(DialogCaptions, ComeFromColumnOneInEveryLanguage) {
  TLDM ldm(EmbeddedSilTable());
  ldm.Sild.SetActiveLanguage(5);
  EXPECT_EQ(ldm.DialogCaption("Warning"), "Warning");
  EXPECT_EQ(ldm.DialogCaption("Yes"), "&Yes");
  EXPECT_EQ(ldm.DialogCaption("no to all"), "N&o to All");
}

}  // namespace
}  // namespace tarnvel::i18n
