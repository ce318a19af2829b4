// Under Wine: a Unix symbolic link to a folder is never entered by
// MyRemoveDir, neither when it stands as the folder to remove nor inside it.
// Wine can neither remove such a link nor open the link itself, so the
// removal stops naming it; what it points at stays byte for byte. The links
// are made by unix_links_wine_test.sh; run alone, the case is skipped.
#include <gtest/gtest.h>

#include <cstdlib>

#include "i18n/ldm.h"
#include "support/failure_text.h"
#include "support/tree_links.h"
#include "sysroutines/paths.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

TEST(MyRemoveDirUnixLinksUnderWine, LinkIsNotEnteredAtTheTopOrInside) {
  const char* tree = std::getenv("TARNVEL_UNIX_LINK_TREE");
  if (tree == nullptr) GTEST_SKIP() << "needs the links unix_links_wine_test.sh makes";
  const std::string root = tree;
  const auto canary = testing::TreeSnapshot(sys::PathFromUtf8(root + "\\canary"));
  ASSERT_EQ(canary.size(), 3u);
  const struct {
    std::string folder, link;
  } cases[] = {
      {root + "\\Tmp1", root + "\\Tmp1"},
      {root + "\\Tmp2", root + "\\Tmp2\\New\\DB_Data"},
  };
  for (const auto& c : cases) {
    const std::string failure = testing::FailureText([&] { MyRemoveDir(c.folder); });
    // Were Wine one day to remove the link, the case would end without a failure.
    if (failure != "(no failure)") {
      EXPECT_EQ(failure, i18n::GetMessageText("uUpdate_MyRemoveDir_1", c.link)) << c.folder;
    }
    EXPECT_EQ(testing::TreeSnapshot(sys::PathFromUtf8(root + "\\canary")), canary) << c.folder;
  }
}

}  // namespace
}  // namespace tarnvel
