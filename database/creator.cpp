#include "database/creator.h"

#include <algorithm>
#include <filesystem>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "database/memo_file.h"
#include "database/password.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "platform/core/native_path.h"

namespace database {
namespace {

int32_t WriteNewFile(std::string_view gbk_path, const std::vector<uint8_t>& bytes) {
  platform::FileResult created =
      platform::File::Open(gbk_path, platform::FileAccess::kReadWrite,
                           platform::ShareMode::kExclusive, platform::Disposition::kCreateNew);
  if (!created.ok()) return FileErrorCode(created.error);
  const auto size = static_cast<int64_t>(bytes.size());
  if (created.file->WriteAt(0, bytes.data(), size) != size || !created.file->Flush()) {
    return code::kUnknown;
  }
  return code::kOk;
}

}  // namespace

std::string MemoPathFor(std::string_view gbk_main_path) {
  std::filesystem::path native = platform::FsPath(gbk_main_path);
  const std::u8string extension = native.extension().u8string();
  const bool lower = std::any_of(extension.begin(), extension.end(),
                                 [](char8_t c) { return c >= 'a' && c <= 'z'; });
  native.replace_extension(lower ? ".edt" : ".EDT");
  return platform::GbkPathOf(native);
}

std::vector<FieldDefinition> LayOutFields(const std::vector<FieldSpec>& wanted_fields) {
  std::vector<FieldDefinition> fields;
  int32_t offset = 4;
  for (const FieldSpec& wanted : wanted_fields) {
    FieldDefinition field;
    field.name = wanted.name;
    field.type = wanted.type;
    field.width = wanted.type == kTextField ? wanted.width : 0;
    field.offset = offset;
    offset += std::max(field.StoredSize(), 0);
    fields.push_back(field);
  }
  return fields;
}

int32_t CreateDatabase(std::string_view gbk_path, const std::vector<FieldSpec>& wanted_fields,
                       std::string_view password) {
  if (wanted_fields.empty()) return code::kNotADatabase;
  for (size_t i = 0; i < wanted_fields.size(); ++i) {
    const FieldSpec& wanted = wanted_fields[i];
    if (wanted.name.empty() || wanted.name.size() > static_cast<size_t>(kMaxFieldNameBytes) ||
        wanted.type < kByteField || wanted.type > kMemoField ||
        (wanted.type == kTextField && wanted.width <= 0)) {
      return code::kNotADatabase;
    }
    for (size_t j = 0; j < i; ++j) {
      if (NamesEqualIgnoringCase(wanted_fields[j].name, wanted.name)) return code::kNotADatabase;
    }
  }
  const std::vector<FieldDefinition> fields = LayOutFields(wanted_fields);
  const bool has_memo = std::any_of(fields.begin(), fields.end(),
                                    [](const FieldDefinition& f) { return f.IsMemo(); });
  const std::string memo_path = MemoPathFor(gbk_path);
  if (platform::FileExists(gbk_path) || (has_memo && platform::FileExists(memo_path))) {
    return FileErrorCode(platform::FileError::kAccessDenied);
  }
  if (has_memo) {
    std::vector<uint8_t> memo(kMemoBlockSize, 0);
    StoreI32(memo.data(), kMemoMagic);
    StoreI32(memo.data() + 4, kVersion);
    StoreI32(memo.data() + 16, 1);  // block 0 only
    const int32_t result = WriteNewFile(memo_path, memo);
    if (result != code::kOk) return result;
  }
  const std::string digest = password.empty() ? std::string() : PasswordDigest(password);
  return WriteNewFile(gbk_path, BuildMainFileImage(fields, digest));
}

int32_t CreateIndexFile(std::string_view gbk_path, const IndexDefinition& definition,
                        const std::vector<FieldDefinition>& fields) {
  std::vector<uint8_t> image;
  const int32_t result = BuildIndexFileImage(definition, fields, &image);
  if (result != code::kOk) return result;
  return WriteNewFile(gbk_path, image);
}

}  // namespace database
