#include "app/single_instance.h"

#include <optional>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "platform/core/file.h"

namespace app {

namespace {

const std::string kLockFile = runtime::Gbk("\\小说数据\\写作台.lock");

}  // namespace

bool ClaimProgramFolder() {
  // Held until the process ends; the system drops the open then, also after a kill.
  static std::optional<platform::File> claim;
  platform::FileResult opened = platform::File::Open(InProgramFolder(kLockFile), platform::FileAccess::kReadWrite,
                                                     platform::ShareMode::kExclusive, platform::Disposition::kOpenAlways);
  if (opened.ok()) {
    claim = std::move(opened.file);
    return true;
  }
  return opened.error != platform::FileError::kSharingViolation;
}

void TellAlreadyOpen() {
  const runtime::Text text(texts::kAlreadyOpen);
  const runtime::Text caption(texts::kErrorCaption);
  Core(libraries::kMessageBox, {text.Arg(), runtime::ArgCell::Int(0x30), caption.Arg()});
}

}  // namespace app
