// The shipped tables against what the program relies on: every message
// identifier the sources use is there, every language column of a row carries
// the same placeholders and line breaks, the English messages and the
// window's captions read exactly as the operator is meant to see them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "i18n/ldm.h"

namespace tarnvel::i18n {
namespace {

struct UsedIdentifier {
  const char* id;
  const char* where;  // first use, "src/...:line"
};
// Listed from the sources by the build.
const UsedIdentifier kUsedIdentifiers[] = {
#include "used_message_ids.inc"
};

struct EnglishText {
  const char* id;
  const char* text;
};
const EnglishText kEnglishTexts[] = {
#include "english_message_texts.inc"
};

// The window's captions: design text (Russian, columns 1 and 2), English,
// German, French.
struct WindowCaption {
  const char* component;
  const char* russian;
  const char* english;
  const char* german;
  const char* french;
};
const WindowCaption kWindowCaptions[] = {
    {"bbProgramLocation", "...", "…", "…", "…"},
    {"CancelBtn", "Выход", "Exit", "Beenden", "Sortie"},
    {"gbConnection", " Подключение  ", "Connection", "Anschluss", "Connection"},
    {"gbLog", " Лог работы ", "The operation log", "Log der Arbeit", "Log du travail"},
    {"Label1", "сервера; как правило, не редактируется)", "is as a rule not edited)",
     "des Servers wird in der Regel nicht editiert)", "du server; en général n'est pas édité)"},
    {"lAdmnPassword", "Пароль пользователя ADMN (требуется при обновлении сервера):",
     "The password of the user ADMN (by the server's update required)",
     "Passwort des Benutzers ADMN (wird bei der Aktualisierung des Servers gefordert)",
     "Mot de passe d'utilisateur ADMN (nécessaire pour une actualisation du server):"},
    {"lPassword", "Системный пароль: (требуется при обновлении ",
     "System password: (by the server's update required",
     "Systempasswort: (wird bei der Aktualisierung des Servers",
     "Mot de passe de système: (nécessaire pour une actualisation"},
    {"lProgramLocation", "Путь к обновляемой программе:", "Path to the update program:",
     "Pfad zum aktualisierbaren Programm", "Voie au programme en état d'actualisation: "},
    {"mmOperations", "Сервис", "Service", "Service", "Support"},
    {"mmOperations_Online", "Перевести базу данных в многопользовательский режим (Online)",
     "Switch database to multi-user mode (Online)",
     "Die Datenbank in den Viel-Benutzer-Modus (Online) umwandeln",
     "Transmettre la base de données dans un régime à plusieurs utilisateurs (Online)"},
    {"mmOperations_Shutdown", "Перевести базу данных в однопользовательский режим (Shutdown)",
     "Switch database to single-user mode (Shutdown)",
     "Die Datenbank in den Ein-Benutzer-Modus (Shutdown) umwandeln",
     "Transmettre la base de données dans un régime à un utilisateur (Shutdown)"},
    {"mmOperations_StartService", "Запустить службу Firebird-сервера",
     "Start the service of the Firebird-server", "Die Datenbank des Firebird-Servers starten",
     "Démarrer le service du server FireBird"},
    {"mmOperations_StopService", "Остановить службу Firebird-сервера",
     "Stop the service of the Firebird-server", "Die Datenbank des Firebird-Servers stoppen",
     "Arrêter le service du server FireBird"},
    {"OKBtn", "&Старт", "&Start", "&Start", "&Start"},
};

// How often each placeholder {0}..{9} and the line break occur in a text.
std::map<std::string, int> Marks(std::string_view text) {
  std::map<std::string, int> marks;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) ++marks["line break"];
    if (i + 2 < text.size() && text[i] == '{' && text[i + 1] >= '0' && text[i + 1] <= '9' &&
        text[i + 2] == '}')
      ++marks[std::string(text.substr(i, 3))];
  }
  return marks;
}

TEST(CatalogueContents, EveryMessageTheSourcesUseIsThere) {
  const Catalogue sil("Sil", "LDM", EmbeddedSilTable());
  for (const UsedIdentifier& used : kUsedIdentifiers)
    EXPECT_NE(sil.FindRow(Section::Strings, used.id), nullptr)
        << used.id << " (used in " << used.where << ")";
}

TEST(CatalogueContents, EveryLanguageColumnCarriesTheSamePlaceholdersAndLineBreaks) {
  const struct {
    const char* name;
    CatalogueTable table;
  } tables[] = {{"Sil", EmbeddedSilTable()}, {"Sill", EmbeddedSillTable()}};
  for (const auto& t : tables) {
    for (int s = 0; s < kSectionCount; ++s) {
      for (const CatalogueRow& row : t.table.Rows(static_cast<Section>(s))) {
        // An empty column shows column 1's text, so only the filled ones count.
        const std::string* reference = nullptr;
        for (std::size_t column = 0; column < row.texts.size(); ++column) {
          const std::string& text = row.texts[column];
          if (text.empty()) continue;
          if (reference == nullptr) reference = &text;
          EXPECT_EQ(Marks(text), Marks(*reference)) << t.name << " " << SectionName(static_cast<Section>(s))
                                                    << " " << row.id << ", column " << column + 1;
        }
      }
    }
  }
}

TEST(CatalogueContents, EnglishMessagesReadAsDocumented) {
  const Catalogue sil("Sil", "LDM", EmbeddedSilTable());
  for (const EnglishText& expected : kEnglishTexts) {
    const CatalogueRow* row = sil.FindRow(Section::Strings, expected.id);
    ASSERT_NE(row, nullptr) << expected.id;
    EXPECT_EQ(row->id, expected.id);
    EXPECT_EQ(row->texts[2], expected.text) << expected.id;
  }
}

TEST(CatalogueContents, WindowCaptionsAreTheWindowsTexts) {
  const Catalogue sill("Sill", "frmMain", EmbeddedSillTable());
  for (const WindowCaption& c : kWindowCaptions) {
    const CatalogueRow* row = sill.FindRow(Section::Captions, c.component);
    ASSERT_NE(row, nullptr) << c.component;
    EXPECT_EQ(row->id, c.component);
    const std::array<std::string, kLanguageCount> expected = {c.russian, c.russian, c.english, c.german,
                                                              c.french};
    EXPECT_EQ(row->texts, expected) << c.component;
  }
}

}  // namespace
}  // namespace tarnvel::i18n
