#include "app/single_instance.h"

#include <optional>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "platform/core/file.h"

namespace app {

namespace {

const std::string kDataFolder = runtime::Gbk("\\小说数据");
const std::string kLockFile = runtime::Gbk("\\小说数据\\写作台.lock");

std::string ReasonOf(platform::FileError error) {
  switch (error) {
    case platform::FileError::kSharingViolation:
      return texts::kAlreadyOpen;
    case platform::FileError::kAccessDenied:
      return texts::kLockAccessDenied;
    case platform::FileError::kNotSupported:
      return texts::kLockNotSupported;
    default:
      return texts::kLockFailed;
  }
}

}  // namespace

std::string ClaimProgramFolder() {
  // Held until the process ends; the system drops the open then, also after a kill.
  static std::optional<platform::File> claim;
  const runtime::Text data_folder(InProgramFolder(kDataFolder));
  Core(libraries::kCreateDirectory, {data_folder.Arg()});
  platform::FileResult opened =
      platform::File::Open(InProgramFolder(kLockFile), platform::FileAccess::kReadWrite,
                           platform::ShareMode::kExclusive, platform::Disposition::kOpenAlways);
  if (!opened.ok()) return ReasonOf(opened.error);
  // Opened unguarded, the claim would keep no second desk out.
  if (!opened.file->share_mode_enforced()) return texts::kLockNotSupported;
  claim = std::move(opened.file);
  return {};
}

void TellFolderNotClaimed(const std::string& reason) {
  const runtime::Text text(reason + texts::kFolderIs + PathForAuthor(InProgramFolder({})));
  const runtime::Text caption(texts::kErrorCaption);
  Core(libraries::kMessageBox, {text.Arg(), runtime::ArgCell::Int(0x30), caption.Arg()});
}

}  // namespace app
