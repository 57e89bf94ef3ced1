#include "database/index_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "platform/core/lock_retry.h"

namespace database {
namespace {

constexpr int32_t kLeaf = 0;
constexpr int32_t kInner = 1;
constexpr int32_t kFreeBlock = 2;
constexpr int32_t kCacheBlocks = 18;
constexpr int32_t kMaxDepth = 32;

struct Node {
  int32_t kind = kLeaf;
  std::vector<std::string> keys;
  std::vector<int32_t> records;   // leaf: one per key
  std::vector<int32_t> children;  // inner: one more than the keys
};

}  // namespace

// One locked operation on the index file: the header as read at its start, the blocks it
// touched (at most 18, the three oldest written back and dropped when more are needed), and
// at its end every changed block and, when it changed, the header written back.
class IndexFile::Session {
 public:
  explicit Session(IndexFile& index) : index_(index) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    if (locked_) index_.locks_.UnlockAll();
  }

  int32_t Begin() {
    const int32_t locked = index_.locks_.LockAll(HeaderLockWait());
    if (locked != code::kOk) return locked;
    locked_ = true;
    if (index_.file_.ReadAt(0, header_.data(), kIndexHeaderSize) != kIndexHeaderSize) {
      return code::kNotAnIndex;
    }
    start_header_ = header_;
    return code::kOk;
  }

  int32_t End() {
    int32_t result = Flush(static_cast<int32_t>(cache_.size()));
    if (result == code::kOk && header_ != start_header_) {
      if (index_.file_.WriteAt(0, header_.data(), kIndexHeaderSize) != kIndexHeaderSize) {
        result = code::kIndexChangeFailed;
      }
      start_header_ = header_;
    }
    return result;
  }

  int32_t block_count() const { return LoadI32(header_.data() + 24); }
  int32_t free_count() const { return LoadI32(header_.data() + 28); }
  int32_t free_head() const { return LoadI32(header_.data() + 32); }
  int32_t root() const { return LoadI32(header_.data() + 36); }
  void set_block_count(int32_t value) { StoreI32(header_.data() + 24, value); }
  void set_free(int32_t count, int32_t head) {
    StoreI32(header_.data() + 28, count);
    StoreI32(header_.data() + 32, head);
  }
  void set_root(int32_t value) { StoreI32(header_.data() + 36, value); }

  void DropCache() { cache_.clear(); }

  int32_t Load(int32_t block, Node* node) {
    std::vector<uint8_t>* bytes = nullptr;
    const int32_t result = Fetch(block, &bytes);
    if (result != code::kOk) return result;
    const uint8_t* data = bytes->data();
    const int32_t key_length = index_.shape_.length;
    node->kind = LoadI16(data);
    const int32_t count = LoadI16(data + 2);
    // A free block (or anything else) reached as a node means a damaged tree.
    if (node->kind == kFreeBlock || (node->kind != kLeaf && node->kind != kInner) || count < 0 ||
        count > index_.capacity_) {
      return code::kNotAnIndex;
    }
    node->keys.clear();
    node->records.clear();
    node->children.clear();
    const uint8_t* entry = data + 4;
    for (int32_t i = 0; i < count; ++i, entry += key_length + 4) {
      const int32_t number = LoadI32(entry);
      if (node->kind == kInner && (number < 1 || number >= block_count())) return code::kNotAnIndex;
      (node->kind == kLeaf ? node->records : node->children).push_back(number);
      node->keys.emplace_back(reinterpret_cast<const char*>(entry) + 4, key_length);
    }
    if (node->kind == kInner) {
      const int32_t last = LoadI32(entry);
      if (last < 1 || last >= block_count()) return code::kNotAnIndex;
      node->children.push_back(last);
    }
    return code::kOk;
  }

  int32_t Store(int32_t block, const Node& node) {
    std::vector<uint8_t>* bytes = nullptr;
    const int32_t result = Fetch(block, &bytes, /*fresh=*/true);
    if (result != code::kOk) return result;
    std::fill(bytes->begin(), bytes->end(), 0);
    uint8_t* data = bytes->data();
    StoreI16(data, static_cast<int16_t>(node.kind));
    StoreI16(data + 2, static_cast<int16_t>(node.keys.size()));
    uint8_t* entry = data + 4;
    for (size_t i = 0; i < node.keys.size(); ++i, entry += index_.shape_.length + 4) {
      StoreI32(entry, node.kind == kLeaf ? node.records[i] : node.children[i]);
      std::memcpy(entry + 4, node.keys[i].data(), node.keys[i].size());
    }
    if (node.kind == kInner) StoreI32(entry, node.children.back());
    MarkDirty(block);
    return code::kOk;
  }

  // A block for a new node: the free head, or one appended to the file.
  int32_t Allocate(int32_t* block) {
    if (free_count() > 0 && free_head() > 0 && free_head() < block_count()) {
      const int32_t taken = free_head();
      std::vector<uint8_t>* bytes = nullptr;
      const int32_t result = Fetch(taken, &bytes);
      if (result != code::kOk) return result;
      const int32_t next = LoadI32(bytes->data() + 8);
      set_free(free_count() - 1, next > 0 && next < block_count() ? next : 0);
      *block = taken;
      return code::kOk;
    }
    if (block_count() == INT32_MAX) return code::kIndexChangeFailed;
    *block = block_count();
    set_block_count(block_count() + 1);
    return code::kOk;
  }

 private:
  struct Cached {
    int32_t block;
    std::vector<uint8_t> bytes;
    bool dirty;
    uint64_t age;
  };

  void MarkDirty(int32_t block) {
    for (Cached& cached : cache_) {
      if (cached.block == block) cached.dirty = true;
    }
  }

  int32_t Fetch(int32_t block, std::vector<uint8_t>** bytes, bool fresh = false) {
    if (block < 1 || block >= block_count()) return code::kNotAnIndex;
    for (Cached& cached : cache_) {
      if (cached.block == block) {
        cached.age = ++clock_;
        *bytes = &cached.bytes;
        return code::kOk;
      }
    }
    if (static_cast<int32_t>(cache_.size()) >= kCacheBlocks) {
      const int32_t result = Flush(3);
      if (result != code::kOk) return result;
    }
    Cached cached{block, std::vector<uint8_t>(static_cast<size_t>(index_.block_size_), 0), false,
                  ++clock_};
    if (!fresh) {
      const int64_t size = index_.block_size_;
      const int64_t read = index_.file_.ReadAt(int64_t{block} * size, cached.bytes.data(), size);
      if (read < 0) return code::kNotAnIndex;  // short reads past the end are zeros: new blocks
    }
    cache_.push_back(std::move(cached));
    *bytes = &cache_.back().bytes;
    return code::kOk;
  }

  // Writes back and drops the `count` oldest blocks.
  int32_t Flush(int32_t count) {
    std::sort(cache_.begin(), cache_.end(),
              [](const Cached& a, const Cached& b) { return a.age < b.age; });
    const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(cache_.size()));
    for (int32_t i = 0; i < n; ++i) {
      const Cached& cached = cache_[static_cast<size_t>(i)];
      if (!cached.dirty) continue;
      const int64_t size = index_.block_size_;
      if (index_.file_.WriteAt(int64_t{cached.block} * size, cached.bytes.data(), size) != size) {
        return code::kIndexChangeFailed;
      }
    }
    cache_.erase(cache_.begin(), cache_.begin() + n);
    return code::kOk;
  }

  IndexFile& index_;
  bool locked_ = false;
  std::array<uint8_t, kIndexHeaderSize> header_{};
  std::array<uint8_t, kIndexHeaderSize> start_header_{};
  std::vector<Cached> cache_;
  uint64_t clock_ = 0;
};

namespace {

struct PathStep {
  int32_t block;
  int32_t child;  // index of the child taken
};

int32_t ChildFor(const KeyShape& shape, const Node& node, std::string_view key) {
  for (size_t i = 0; i < node.keys.size(); ++i) {
    if (CompareKeys(shape, reinterpret_cast<const uint8_t*>(node.keys[i].data()),
                    reinterpret_cast<const uint8_t*>(key.data())) >= 0) {
      return static_cast<int32_t>(i);
    }
  }
  return static_cast<int32_t>(node.keys.size());
}

int Compare(const KeyShape& shape, std::string_view a, std::string_view b) {
  return CompareKeys(shape, reinterpret_cast<const uint8_t*>(a.data()),
                     reinterpret_cast<const uint8_t*>(b.data()));
}

// Descends from the root to the leftmost leaf that may hold `key`.
template <typename SessionT>
int32_t Descend(SessionT& session, const KeyShape& shape, std::string_view key,
                std::vector<PathStep>* path, int32_t* leaf_block, Node* leaf) {
  int32_t block = session.root();
  for (int32_t depth = 0; depth < kMaxDepth; ++depth) {
    const int32_t result = session.Load(block, leaf);
    if (result != code::kOk) return result;
    if (leaf->kind == kLeaf) {
      *leaf_block = block;
      return code::kOk;
    }
    const int32_t child = ChildFor(shape, *leaf, key);
    path->push_back({block, child});
    block = leaf->children[static_cast<size_t>(child)];
  }
  return code::kNotAnIndex;
}

}  // namespace

int32_t IndexFile::Open(std::string_view gbk_path, bool read_only, platform::ShareMode share,
                        bool exclusive, int32_t main_version,
                        const std::vector<FieldDefinition>& fields) {
  platform::FileResult opened = platform::OpenWithRetry(
      gbk_path, read_only ? platform::FileAccess::kRead : platform::FileAccess::kReadWrite, share,
      platform::Disposition::kOpenExisting, LockWait());
  if (!opened.ok()) return code::kIndexOpenFailed;
  file_ = std::move(*opened.file);
  locks_ = ByteLocks(&file_);
  int32_t result = locks_.LockAll(LockWait());
  if (result != code::kOk) {
    Close();
    return result;
  }

  const auto check = [&]() -> int32_t {
    std::array<uint8_t, kIndexHeaderSize> header{};
    if (file_.ReadAt(0, header.data(), kIndexHeaderSize) != kIndexHeaderSize) {
      return code::kNotAnIndex;
    }
    const uint8_t* h = header.data();
    const int32_t block_count = LoadI32(h + 24);
    const int32_t free_count = LoadI32(h + 28);
    const int32_t free_head = LoadI32(h + 32);
    const int32_t root = LoadI32(h + 36);
    const int32_t block_size = LoadI32(h + 40);
    const int32_t key_length = LoadI32(h + 44);
    const int32_t key_count = LoadI32(h + 48);
    if (LoadI32(h) != kIndexMagic || block_count < 2 || free_count < 0 ||
        free_count >= block_count || free_head < 0 || free_head >= block_count || root < 1 ||
        root >= block_count || block_size < 512 || block_size > (1 << 24) || key_length < 1 ||
        key_length > kMaxIndexKeyLength || key_count < 1 || key_count > kMaxIndexKeyFields) {
      return code::kNotAnIndex;
    }
    if (LoadI32(h + 4) != main_version) return code::kIndexVersion;
    const int64_t size = file_.Size();
    if (size < int64_t{block_count} * block_size) return code::kIndexSizeWrong;

    KeyShape shape;
    shape.collation = LoadI32(h + 16);
    shape.flags = LoadI32(h + 20);
    for (int32_t k = 0; k < key_count; ++k) {
      const char* slot = reinterpret_cast<const char*>(h + 52 + 17 * k);
      const std::string name(slot, strnlen(slot, 17));
      const auto field = std::find_if(fields.begin(), fields.end(), [&](const FieldDefinition& f) {
        return NamesEqualIgnoringCase(f.name, name);
      });
      if (field == fields.end()) return code::kIndexFieldMissing;
      const int32_t key_type = LoadI32(h + 188 + 4 * k);
      KeyField key_field;
      key_field.field = static_cast<int32_t>(field - fields.begin());
      key_field.offset = field->offset;
      if (key_type < 0) {
        if (field->type != kTextField) return code::kIndexFieldType;
        if (-int64_t{key_type} != field->width) return code::kIndexFieldSize;
        key_field.type = kTextField;
        key_field.size = field->width;
      } else {
        if (key_type < kByteField || key_type > kRoutineField || key_type != field->type) {
          return code::kIndexFieldType;
        }
        key_field.type = key_type;
        key_field.size = FieldTypeSize(key_type, 0);
      }
      shape.length += key_field.size;
      shape.fields.push_back(key_field);
      if (shape.length > kMaxIndexKeyLength) return code::kNotAnIndex;
    }
    if (shape.length != key_length) return code::kNotAnIndex;
    shape_ = std::move(shape);
    block_size_ = block_size;
    capacity_ = (block_size - 8) / (key_length + 4);
    return code::kOk;
  };
  result = check();
  locks_.UnlockAll();
  if (result != code::kOk) {
    Close();
    return result;
  }
  if (exclusive) locks_.SetExclusive();
  return code::kOk;
}

void IndexFile::Close() {
  locks_.ReleaseEverything();
  file_.Close();
}

namespace {

template <typename SessionT>
int32_t InsertEntry(SessionT& session, const KeyShape& shape, int32_t capacity,
                    std::string_view key, int32_t record) {
  std::vector<PathStep> path;
  Node node;
  int32_t block = 0;
  int32_t result = Descend(session, shape, key, &path, &block, &node);
  if (result != code::kOk) return result;
  size_t position = 0;
  while (position < node.keys.size() && Compare(shape, node.keys[position], key) <= 0) ++position;
  node.keys.insert(node.keys.begin() + static_cast<std::ptrdiff_t>(position), std::string(key));
  node.records.insert(node.records.begin() + static_cast<std::ptrdiff_t>(position), record);
  if (static_cast<int32_t>(node.keys.size()) <= capacity) return session.Store(block, node);

  const size_t half = static_cast<size_t>(capacity / 2);
  // Leaf split: the first half stays, the last key that stays goes up as the separator.
  Node right;
  right.kind = kLeaf;
  right.keys.assign(node.keys.begin() + static_cast<std::ptrdiff_t>(half), node.keys.end());
  right.records.assign(node.records.begin() + static_cast<std::ptrdiff_t>(half),
                       node.records.end());
  node.keys.resize(half);
  node.records.resize(half);
  std::string separator = node.keys.back();
  int32_t right_block = 0;
  if ((result = session.Allocate(&right_block)) != code::kOk) return result;
  if ((result = session.Store(block, node)) != code::kOk) return result;
  if ((result = session.Store(right_block, right)) != code::kOk) return result;

  while (!path.empty()) {
    const PathStep step = path.back();
    path.pop_back();
    Node parent;
    if ((result = session.Load(step.block, &parent)) != code::kOk) return result;
    parent.keys.insert(parent.keys.begin() + step.child, separator);
    parent.children.insert(parent.children.begin() + step.child + 1, right_block);
    if (static_cast<int32_t>(parent.keys.size()) <= capacity) {
      return session.Store(step.block, parent);
    }
    // Inner split: the first half of the keys stay, the next one moves up.
    Node upper;
    upper.kind = kInner;
    separator = parent.keys[half];
    upper.keys.assign(parent.keys.begin() + static_cast<std::ptrdiff_t>(half) + 1,
                      parent.keys.end());
    upper.children.assign(parent.children.begin() + static_cast<std::ptrdiff_t>(half) + 1,
                          parent.children.end());
    parent.keys.resize(half);
    parent.children.resize(half + 1);
    if ((result = session.Allocate(&right_block)) != code::kOk) return result;
    if ((result = session.Store(step.block, parent)) != code::kOk) return result;
    if ((result = session.Store(right_block, upper)) != code::kOk) return result;
    block = step.block;
  }
  // The root split: a new root above the two halves.
  Node root;
  root.kind = kInner;
  root.keys.push_back(separator);
  root.children = {session.root(), right_block};
  int32_t root_block = 0;
  if ((result = session.Allocate(&root_block)) != code::kOk) return result;
  if ((result = session.Store(root_block, root)) != code::kOk) return result;
  session.set_root(root_block);
  return code::kOk;
}

template <typename SessionT>
int32_t RemoveEntry(SessionT& session, const KeyShape& shape, std::string_view key,
                    int32_t record) {
  std::vector<PathStep> path;
  Node node;
  int32_t block = 0;
  int32_t result = Descend(session, shape, key, &path, &block, &node);
  if (result != code::kOk) return result;
  // Equal keys may run on over several leaves: visit them in order until a greater key.
  for (int64_t visits = 0; visits < session.block_count(); ++visits) {
    for (size_t i = 0; i < node.keys.size(); ++i) {
      const int order = Compare(shape, node.keys[i], key);
      if (order > 0) return code::kIndexEntryMissing;
      if (order == 0 && node.records[i] == record) {
        node.keys.erase(node.keys.begin() + static_cast<std::ptrdiff_t>(i));
        node.records.erase(node.records.begin() + static_cast<std::ptrdiff_t>(i));
        return session.Store(block, node);
      }
    }
    // The next leaf: up to the first ancestor with a child to the right, then leftmost down.
    while (!path.empty()) {
      Node parent;
      if ((result = session.Load(path.back().block, &parent)) != code::kOk) return result;
      if (path.back().child < static_cast<int32_t>(parent.keys.size())) {
        if (Compare(shape, parent.keys[static_cast<size_t>(path.back().child)], key) > 0) {
          return code::kIndexEntryMissing;
        }
        ++path.back().child;
        block = parent.children[static_cast<size_t>(path.back().child)];
        break;
      }
      path.pop_back();
    }
    if (path.empty()) return code::kIndexEntryMissing;
    for (int32_t depth = 0;; ++depth) {
      if (depth > kMaxDepth) return code::kNotAnIndex;
      if ((result = session.Load(block, &node)) != code::kOk) return result;
      if (node.kind == kLeaf) break;
      path.push_back({block, 0});
      block = node.children.front();
    }
  }
  return code::kNotAnIndex;
}

}  // namespace

int32_t IndexFile::Insert(std::string_view key, int32_t record) {
  if (static_cast<int32_t>(key.size()) != shape_.length) return code::kIndexChangeFailed;
  Session session(*this);
  int32_t result = session.Begin();
  if (result == code::kOk) result = InsertEntry(session, shape_, capacity_, key, record);
  const int32_t ended = session.End();
  return result != code::kOk ? result : ended;
}

int32_t IndexFile::Remove(std::string_view key, int32_t record) {
  if (static_cast<int32_t>(key.size()) != shape_.length) return code::kIndexChangeFailed;
  Session session(*this);
  int32_t result = session.Begin();
  if (result == code::kOk) result = RemoveEntry(session, shape_, key, record);
  const int32_t ended = session.End();
  return result != code::kOk ? result : ended;
}

int32_t IndexFile::Move(std::string_view old_key, std::string_view new_key, int32_t record) {
  if (static_cast<int32_t>(old_key.size()) != shape_.length ||
      static_cast<int32_t>(new_key.size()) != shape_.length) {
    return code::kIndexChangeFailed;
  }
  if (Compare(shape_, old_key, new_key) == 0) return code::kOk;
  Session session(*this);
  int32_t result = session.Begin();
  if (result == code::kOk) result = RemoveEntry(session, shape_, old_key, record);
  if (result == code::kOk) result = InsertEntry(session, shape_, capacity_, new_key, record);
  const int32_t ended = session.End();
  return result != code::kOk ? result : ended;
}

int32_t IndexFile::Rebuild(const std::vector<std::pair<std::string, int32_t>>& entries) {
  Session session(*this);
  int32_t result = session.Begin();
  if (result != code::kOk) return result;
  // The fresh layout: block 0 the header and zeros, block 1 an empty root, nothing after.
  session.DropCache();
  session.set_block_count(2);
  session.set_free(0, 0);
  session.set_root(1);
  std::vector<uint8_t> blocks(static_cast<size_t>(block_size_) * 2, 0);
  if (file_.ReadAt(0, blocks.data(), kIndexHeaderSize) != kIndexHeaderSize) {
    return code::kNotAnIndex;
  }
  StoreI32(blocks.data() + 24, 2);
  StoreI32(blocks.data() + 28, 0);
  StoreI32(blocks.data() + 32, 0);
  StoreI32(blocks.data() + 36, 1);
  const auto size = static_cast<int64_t>(blocks.size());
  if (file_.WriteAt(0, blocks.data(), size) != size || !file_.Truncate(size)) {
    return code::kIndexChangeFailed;
  }
  for (const auto& [key, record] : entries) {
    if (static_cast<int32_t>(key.size()) != shape_.length) return code::kIndexChangeFailed;
    result = InsertEntry(session, shape_, capacity_, key, record);
    if (result != code::kOk) break;
  }
  const int32_t ended = session.End();
  return result != code::kOk ? result : ended;
}

int32_t IndexFile::ReadAll(std::vector<std::pair<std::string, int32_t>>* entries) {
  entries->clear();
  Session session(*this);
  int32_t result = session.Begin();
  if (result != code::kOk) return result;
  struct Pending {
    int32_t block;
    int32_t depth;
  };
  std::vector<Pending> stack = {{session.root(), 0}};
  int64_t visited = 0;
  while (!stack.empty()) {
    const Pending pending = stack.back();
    stack.pop_back();
    if (pending.depth > kMaxDepth || ++visited > session.block_count()) return code::kNotAnIndex;
    Node node;
    if ((result = session.Load(pending.block, &node)) != code::kOk) return result;
    if (node.kind == kLeaf) {
      for (size_t i = 0; i < node.keys.size(); ++i)
        entries->emplace_back(node.keys[i], node.records[i]);
      continue;
    }
    for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
      stack.push_back({*child, pending.depth + 1});
    }
  }
  return code::kOk;
}

int32_t BuildIndexFileImage(const IndexDefinition& definition,
                            const std::vector<FieldDefinition>& fields,
                            std::vector<uint8_t>* image) {
  if (definition.key_fields.empty() ||
      definition.key_fields.size() > static_cast<size_t>(kMaxIndexKeyFields)) {
    return code::kNotAnIndex;
  }
  if (definition.block_size < 512) return code::kNotAnIndex;
  image->assign(static_cast<size_t>(definition.block_size) * 2, 0);
  uint8_t* h = image->data();
  StoreI32(h, kIndexMagic);
  StoreI32(h + 4, kVersion);
  StoreI32(h + 16, definition.collation);
  StoreI32(h + 20, definition.flags);
  StoreI32(h + 24, 2);
  StoreI32(h + 36, 1);
  StoreI32(h + 40, definition.block_size);
  int32_t key_length = 0;
  for (size_t k = 0; k < definition.key_fields.size(); ++k) {
    const std::string& name = definition.key_fields[k];
    const auto field = std::find_if(fields.begin(), fields.end(), [&](const FieldDefinition& f) {
      return NamesEqualIgnoringCase(f.name, name);
    });
    if (field == fields.end()) return code::kIndexFieldMissing;
    if (field->IsMemo()) return code::kIndexFieldType;
    std::memcpy(h + 52 + 17 * k, name.data(), std::min<size_t>(name.size(), 16));
    StoreI32(h + 188 + 4 * static_cast<int32_t>(k),
             field->type == kTextField ? -field->width : field->type);
    key_length += field->StoredSize();
  }
  if (key_length > kMaxIndexKeyLength) return code::kNotAnIndex;
  StoreI32(h + 44, key_length);
  StoreI32(h + 48, static_cast<int32_t>(definition.key_fields.size()));
  return code::kOk;
}

}  // namespace database
