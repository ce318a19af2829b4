#pragma once
// Whether the Windows build runs under Wine, where some file-system answers
// differ from Windows (always false on Linux).

namespace tarnvel::testing {

bool RunsUnderWine();

}  // namespace tarnvel::testing
