// Compiled into every test program: the process-wide catalogue answers in
// English whatever the machine's language, so tests can compare texts.
#include <gtest/gtest.h>

#include "i18n/ldm.h"

namespace {

class EnglishCatalogue : public ::testing::Environment {
 public:
  void SetUp() override { tarnvel::i18n::LDM().Sild.SetActiveLanguage(3); }
};

const ::testing::Environment* const kEnglish = ::testing::AddGlobalTestEnvironment(new EnglishCatalogue);

}  // namespace
