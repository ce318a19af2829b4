// The stored table format: single-byte code pages, 0x01 delimiters, 0x19 0x1A
// line breaks, CR LF lines, section headers.
#include "i18n/catalogue_table.h"

#include <gtest/gtest.h>

#include "i18n/ldm.h"
#include "sysroutines/resources.h"

namespace tarnvel::i18n {
namespace {

// "&Старт" in Windows-1251, "Démarrer…" in Windows-1252, a text with a line break,
// a row that stops after two columns and a row with all columns empty.
const std::string kStored = std::string(
    "ignored before the first header\r\n"
    "STCAPTIONS\r\n"
    "OKBtn\x01&\xD1\xF2\xE0\xF0\xF2\x01&\xD1\xF2\xE0\xF0\xF2\x01&Start\x01&Start\x01" "D\xE9marrer\x85\x01\r\n"
    "TfrmMain\x01\x01\r\n"
    "stHints\r\n"
    "stStrings\r\n"
    "uMain_Finished_3\x01r\x01r\x01" "errors!\x19\x1AThe rollback\x01" "d\x01" "f\x01\r\n"
    "uShort\x01one\x01two\x01\r\n");

TEST(CatalogueTable, LoadsStoredBytesIntoUtf8) {
  const CatalogueTable table = CatalogueTable::Load(kStored);
  ASSERT_EQ(table.Sections(), (std::vector<Section>{Section::Captions, Section::Hints, Section::Strings}));
  EXPECT_TRUE(table.Rows(Section::Hints).empty());

  const auto& captions = table.Rows(Section::Captions);
  ASSERT_EQ(captions.size(), 2u);
  EXPECT_EQ(captions[0].id, "OKBtn");
  EXPECT_EQ(captions[0].texts[0], "&Старт");
  EXPECT_EQ(captions[0].texts[1], "&Старт");
  EXPECT_EQ(captions[0].texts[2], "&Start");
  EXPECT_EQ(captions[0].texts[4], "Démarrer…");
  EXPECT_EQ(captions[1].id, "TfrmMain");
  for (const std::string& text : captions[1].texts) EXPECT_EQ(text, "");

  const auto& strings = table.Rows(Section::Strings);
  ASSERT_EQ(strings.size(), 2u);
  EXPECT_EQ(strings[0].texts[2], "errors!\r\nThe rollback");
  EXPECT_EQ(strings[1].texts[1], "two");
  EXPECT_EQ(strings[1].texts[2], "");  // the row stopped after column 2
  EXPECT_EQ(strings[1].texts[4], "");
}

TEST(CatalogueTable, StoresBackTheSameBytes) {
  const std::string withoutPreamble = kStored.substr(kStored.find("STCAPTIONS"));
  // Header names are written in their canonical spelling.
  std::string expected = withoutPreamble;
  expected.replace(0, 10, "stCaptions");
  EXPECT_EQ(CatalogueTable::Load(kStored).Store(), expected);
}

TEST(CatalogueTable, RepeatedHeaderGoesOnWithItsSection) {
  const CatalogueTable table =
      CatalogueTable::Load("stHints\r\nfirst\x01\r\nstStrings\r\nSTHINTS\r\nsecond\x01\r\n");
  EXPECT_EQ(table.Sections(), (std::vector<Section>{Section::Hints, Section::Strings}));
  ASSERT_EQ(table.Rows(Section::Hints).size(), 2u);
  EXPECT_EQ(table.Rows(Section::Hints)[1].id, "second");
  // Each row is stored once, so the stored form loads back as it was.
  EXPECT_EQ(table.Store(), "stHints\r\nfirst\x01\r\nsecond\x01\r\nstStrings\r\n");
}

TEST(EmbeddedCatalogue, MessageTableRoundTripsAndHasEveryRow) {
  const std::optional<std::string_view> stored = sys::FindEmbeddedResource("CATALOGUE", "SIL");
  ASSERT_TRUE(stored.has_value());
  const std::string bytes(*stored);
  EXPECT_NE(bytes.find("\x19\x1A"), std::string::npos);  // line breaks in their stored form
  EXPECT_NE(bytes.find('\x85'), std::string::npos);      // the ellipsis as one byte
  EXPECT_NE(bytes.find('\xE9'), std::string::npos);      // "é" of the French column

  const CatalogueTable table = CatalogueTable::Load(bytes);
  EXPECT_EQ(table.Store(), bytes);

  std::vector<Section> expected;
  for (int s = 0; s < kSectionCount - 1; ++s) expected.push_back(static_cast<Section>(s));
  EXPECT_EQ(table.Sections(), expected);
  // 99 + the copy-skip report + seven texts of the update run + two of the
  // window + seven of the recovery + two of the window's lock and recovery +
  // the advice for a server that does not answer, the texts added since, the
  // refusal of a payload that is not the build's and the refusal for want of
  // rights + four more server causes + eight system reasons + the product
  // folder that is a mount point + 35 of the check before an update
  EXPECT_EQ(table.Rows(Section::Strings).size(), 189u);
  EXPECT_EQ(table.Rows(Section::DlgsCaptions).size(), 15u);
  for (const CatalogueRow& row : table.Rows(Section::Strings)) {
    for (const std::string& text : row.texts) EXPECT_FALSE(text.empty()) << row.id;
  }
}

TEST(EmbeddedCatalogue, WindowTableHasItsSections) {
  const CatalogueTable table = EmbeddedSillTable();
  const std::vector<Section> expected = {Section::Captions,     Section::Hints,        Section::DisplayLabels,
                                         Section::Fonts,        Section::MultiLines,   Section::Strings,
                                         Section::OtherStrings, Section::Collections,  Section::CharSets};
  EXPECT_EQ(table.Sections(), expected);
  const struct { Section section; std::size_t rows; } counts[] = {
      {Section::Captions, 22}, {Section::Hints, 32},       {Section::Fonts, 12},
      {Section::MultiLines, 2}, {Section::OtherStrings, 4}, {Section::CharSets, 12},
  };
  for (const auto& c : counts) EXPECT_EQ(table.Rows(c.section).size(), c.rows) << SectionName(c.section);
  for (const CatalogueRow& row : table.Rows(Section::CharSets)) {
    EXPECT_EQ(row.texts[1], "RUSSIAN_CHARSET") << row.id;
    EXPECT_EQ(row.texts[2], "ANSI_CHARSET") << row.id;
  }
}

}  // namespace
}  // namespace tarnvel::i18n
