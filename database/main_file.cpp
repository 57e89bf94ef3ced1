#include "database/main_file.h"

#include <algorithm>
#include <cstring>

#include "database/error_codes.h"
#include "database/le_bytes.h"

namespace database {
namespace {

// A record larger than this is refused as not a database: no record the engine writes
// comes near it, and a reader must not be made to allocate gigabytes by a damaged header.
constexpr int32_t kMaxRecordSize = 64 << 20;

}  // namespace

int32_t FieldTypeSize(int32_t type, int32_t width) {
  switch (type) {
    case kByteField:
    case kLogicalField:
      return 1;
    case kShortField:
      return 2;
    case kIntField:
    case kFloatField:
    case kRoutineField:
    case kByteSetField:
    case kMemoField:
      return 4;
    case kLongField:
    case kDoubleField:
    case kDateTimeField:
      return 8;
    case kTextField:
      return width;
    default:
      return 0;
  }
}

runtime::TypeCode FieldValueType(int32_t type) {
  switch (type) {
    case kByteField:
      return runtime::kByte;
    case kShortField:
      return runtime::kShort;
    case kIntField:
      return runtime::kInt;
    case kLongField:
      return runtime::kLong;
    case kFloatField:
      return runtime::kFloat;
    case kDoubleField:
      return runtime::kDouble;
    case kLogicalField:
      return runtime::kLogical;
    case kDateTimeField:
      return runtime::kDateTime;
    case kRoutineField:
      return runtime::kRoutine;
    case kTextField:
    case kMemoField:
      return runtime::kText;
    case kByteSetField:
      return runtime::kByteSet;
    default:
      return runtime::kNoValue;
  }
}

int32_t FieldDefinition::StoredSize() const { return FieldTypeSize(type, width); }

int32_t DatabaseHeader::magic() const { return LoadI32(raw.data()); }
int32_t DatabaseHeader::version() const { return LoadI32(raw.data() + 4); }
int32_t DatabaseHeader::record_count() const { return LoadI32(raw.data() + 16); }
int32_t DatabaseHeader::next_id() const { return LoadI32(raw.data() + 20); }
int32_t DatabaseHeader::record_size() const { return LoadI32(raw.data() + 24); }
void DatabaseHeader::set_counts(int32_t record_count, int32_t next_id) {
  StoreI32(raw.data() + 16, record_count);
  StoreI32(raw.data() + 20, next_id);
}
std::string DatabaseHeader::digest() const {
  return std::string(reinterpret_cast<const char*>(raw.data() + kDigestOffset), kDigestLength);
}

namespace detail {

int32_t ReadMainFileStart(platform::File& file, MainFileLayout* layout) {
  if (file.ReadAt(0, layout->header.raw.data(), kHeaderSize) != kHeaderSize) {
    return code::kNotADatabase;
  }
  const int32_t magic = layout->header.magic();
  if (magic != kPlainMagic && magic != kProtectedMagic) return code::kNotADatabase;
  return code::kOk;
}

int32_t ReadMainFileRest(platform::File& file, bool writable, MainFileLayout* layout) {
  DatabaseHeader& header = layout->header;
  if (header.record_size() <= 0 || header.record_count() < 0 || header.next_id() <= 0 ||
      header.record_size() > kMaxRecordSize) {
    return code::kNotADatabase;
  }
  if (header.version() > kVersion) return code::kVersionTooHigh;

  uint8_t word[4];
  if (file.ReadAt(kFieldCountOffset, word, 4) != 4) return code::kNotADatabase;
  const int32_t field_count = LoadI32(word);
  if (field_count <= 0) return code::kNotADatabase;
  const int64_t size = file.Size();
  const int64_t definitions_bytes = int64_t{kFieldDefinitionSize} * field_count;
  if (size < 0 || size - kFieldsOffset < definitions_bytes) return code::kNotADatabase;
  std::vector<uint8_t> definitions(static_cast<size_t>(definitions_bytes));
  if (file.ReadAt(kFieldsOffset, definitions.data(), definitions_bytes) != definitions_bytes) {
    return code::kNotADatabase;
  }
  const int64_t data_offset = kFieldsOffset + definitions_bytes;
  if (data_offset > INT32_MAX) return code::kNotADatabase;
  layout->data_offset = static_cast<int32_t>(data_offset);

  // Whole records present against the count in the header.
  const int64_t record_size = header.record_size();
  const int64_t whole_records = (size - data_offset) / record_size;
  if (whole_records < header.record_count()) {
    if (!writable) return code::kFileSizeWrong;
    header.set_counts(static_cast<int32_t>(whole_records), header.next_id());
    const int32_t written = WriteCounts(file, header.record_count(), header.next_id());
    if (written != 0) return written;
  }
  const int64_t end = data_offset + header.record_count() * record_size;
  if (writable && size != end && !file.Truncate(end)) return code::kUnknown;

  layout->fields.clear();
  layout->fields.reserve(static_cast<size_t>(field_count));
  for (int32_t i = 0; i < field_count; ++i) {
    const uint8_t* raw = definitions.data() + int64_t{i} * kFieldDefinitionSize;
    FieldDefinition field;
    std::memcpy(field.raw.data(), raw, kFieldDefinitionSize);
    const void* zero = std::memchr(raw, 0, kMaxFieldNameBytes + 1);
    if (zero == nullptr) return code::kNotADatabase;
    field.name.assign(reinterpret_cast<const char*>(raw), static_cast<const uint8_t*>(zero) - raw);
    field.type = LoadI32(raw + 20);
    field.offset = LoadI32(raw + 24);
    field.width = LoadI32(raw + 28);
    if (field.offset < 0 || field.type < kByteField || field.type > kMemoField) {
      return code::kNotADatabase;
    }
    if (field.type == kTextField && field.width <= 0) return code::kNotADatabase;
    // A value reaching past its record would be read from the next record or from beyond
    // the buffer that holds one record; such a file is refused.
    if (int64_t{field.offset} + field.StoredSize() > record_size) return code::kNotADatabase;
    layout->fields.push_back(std::move(field));
  }
  return code::kOk;
}

}  // namespace detail

int32_t ReadMainFileUnprotected(platform::File& file, bool writable, MainFileLayout* layout) {
  return ReadMainFile(
      file, writable, [](const DatabaseHeader&) { return 0; }, layout);
}

int32_t ReadCounts(platform::File& file, int32_t* record_count, int32_t* next_id) {
  uint8_t counts[8];
  if (file.ReadAt(kCountsOffset, counts, 8) != 8) return code::kRecordCountFailed;
  *record_count = LoadI32(counts);
  *next_id = LoadI32(counts + 4);
  return code::kOk;
}

int32_t WriteCounts(platform::File& file, int32_t record_count, int32_t next_id) {
  uint8_t counts[8];
  StoreI32(counts, record_count);
  StoreI32(counts + 4, next_id);
  if (file.WriteAt(kCountsOffset, counts, 8) != 8) {
    return WriteFailureCode(file.last_error(), code::kWriteRecordFailed);
  }
  return code::kOk;
}

std::vector<uint8_t> BuildMainFileImage(const std::vector<FieldDefinition>& fields,
                                        std::string_view password_digest) {
  std::vector<uint8_t> image(kFieldsOffset + fields.size() * kFieldDefinitionSize, 0);
  int32_t record_size = 4;
  for (const FieldDefinition& field : fields) {
    record_size = std::max(record_size, field.offset + field.StoredSize());
  }
  StoreI32(image.data(), password_digest.empty() ? kPlainMagic : kProtectedMagic);
  StoreI32(image.data() + 4, kVersion);
  StoreI32(image.data() + 16, 0);
  StoreI32(image.data() + 20, 1);
  StoreI32(image.data() + 24, record_size);
  if (!password_digest.empty()) {
    std::memcpy(image.data() + kDigestOffset, password_digest.data(),
                std::min<size_t>(password_digest.size(), kDigestLength));
  }
  StoreI32(image.data() + kFieldCountOffset, static_cast<int32_t>(fields.size()));
  for (size_t i = 0; i < fields.size(); ++i) {
    uint8_t* raw = image.data() + kFieldsOffset + i * kFieldDefinitionSize;
    std::memcpy(raw, fields[i].name.data(), std::min<size_t>(fields[i].name.size(), 16));
    StoreI32(raw + 20, fields[i].type);
    StoreI32(raw + 24, fields[i].offset);
    StoreI32(raw + 28, fields[i].width);
  }
  return image;
}

}  // namespace database

namespace database {

bool NamesEqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<uint8_t>(a[i]);
    const auto y = static_cast<uint8_t>(b[i]);
    if (x >= 0x81 && i + 1 < a.size()) {  // a two-byte character: both bytes exactly
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    const auto fold = [](uint8_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    if (fold(x) != fold(y)) return false;
  }
  return true;
}

}  // namespace database
