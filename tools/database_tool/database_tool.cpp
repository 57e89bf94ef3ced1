// database_tool: creates, inspects, checks and exports Inkstone databases.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "database/checker.h"
#include "database/creator.h"
#include "database/database.h"
#include "database/database_list.h"
#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "database/memo_file.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "platform/core/process.h"
#include "chapter_history/version_store.h"
#include "commands/file_replacement.h"
#include "writing_history/history_file.h"
#include "writing_history/history_json.h"
#ifdef INKSTONE_NOVEL_COMMANDS
#include "tools/database_tool/novel_commands.h"
#endif

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using database::Database;

constexpr char kUsage[] = R"(usage: database_tool <command> [arguments]

Commands:
  create <file> <name>:<type>[:<width>]... [--password <text>]
        Creates an empty database (and its memo file when a field needs one).
        Types: byte short int long float double logical datetime routine
               text (needs a width) byteset memo
  info <file> [--password <text>]
        Prints the header, the fields, the record counts and the memo file's figures.
  dump <file> [--password <text>]
        Prints every record as one JSON object per line:
        {"number": n, "id": id, "deleted": bool, "fields": {"name": value, ...}}
        Texts are UTF-8 strings, byte sets base64, date-times ISO 8601.
  check <file> [--index <index file>]... [--repair]
        Checks every structural invariant of the main, memo and index files and exits
        with status 1 when a fault is found. --repair reclaims leaked memo blocks, mends
        back links an interrupted save left stale and cuts stray bytes after the last
        record or block (only when no fault was found; the database must not be open
        elsewhere). While a program has the database open, the blocks its saves set
        aside for the next ones show as leaked.
        A record's memo chain that breaks off is a fault that --repair mends when it is
        the only kind found: first the chain's bytes (up to the break, and the blocks
        that went on after it, found by their back links) are saved beside the database
        as "<name>.rescued-<record>-<field>.bin" (-2, -3, ... when that exists); then the
        chain is cut at the break, so the record keeps its readable part, and the rest
        is repaired. Each saved file is listed in a "rescued:" line.
  export <file> <folder> [--name-field <name>] [--text-field <name>] [--password <text>]
        Writes every live chapter of a chapter database as "<chapter name>.txt" (UTF-8)
        into the folder. The fields default to "姓名" (name) and "学号" (text).
  history <folder>
        Prints the writing desk's history of the desk folder (or of its 小说数据 folder),
        one JSON object per day in date order:
        {"date": "2026-12-09", "characters": n, "minutes": m}
        characters: what that day added to the novel (negative after a day of cutting);
        minutes: the minutes in which the author typed.
  versions <folder> [chapter] [--version <n> --out <file>]
        The chapter history of the desk folder (or of its 小说数据 folder): without a
        chapter, one JSON object per chapter that has versions:
        {"chapter": id, "versions": n, "newest": "2026-12-10 11:35", "name": "..."}
        (chapter: the id of its record in the chapter database, as dump prints it; a
        deleted chapter keeps its versions under its id). With a chapter, its versions
        oldest first: {"version": n, "time": ..., "reason": ..., "characters": n,
        "name": ...}. With --version and --out, writes that version's text (UTF-8) to the
        file (through a temporary file renamed over it).
  import <file> <txt file> [--encoding utf-8|utf-8-bom|utf-16le|utf-16be|gbk]
         [--pattern <expression>]
        Splits a TXT novel into chapters at its headings (第…章/节/回/卷, 卷…, 序章,
        楔子, 番外, 尾声 and the like, or lines the expression matches whole) and appends
        them after the chapters of the chapter database, all or none. The encoding is found
        from the file unless given. Not beside a running desk (the database must be free).
  export <file> --format txt|txt-files|epub --out <path> [--from <n>] [--to <n>]
         [--encoding utf-8|utf-8-bom|gbk] [--lf] [--indent] [--no-headings]
         [--title <text>] [--author <text>] [--cover <jpeg or png>]
        The novel (or chapters n to m, counted from 1) as one TXT file, one TXT file per
        chapter in a folder ("0001 第一章 ….txt"), or an EPUB 3 book; written through
        temporary files renamed into place.
        (import and export --format come with the desk's builds, not the bare core.)
  --help
        Shows this text.

Exit status: 0 success, 1 a check found a fault, 2 bad usage or a file that cannot be used.

Where the writing desk keeps its chapters:
  A desk run from a folder of its own (unpacked, or the build's app folder) keeps them
  beside the program, in 小说数据/data.edb; when that folder cannot be written the desk
  refuses to start. An installed desk (<prefix>/bin with <prefix>/share/inkstone beside
  it) keeps them in the author's data folder, $XDG_DATA_HOME/inkstone/小说数据/data.edb
  (~/.local/share/inkstone/小说数据/data.edb when XDG_DATA_HOME is not set; %APPDATA%\Inkstone
  on Windows); with neither an absolute XDG_DATA_HOME nor an absolute HOME it refuses to
  start. The empty database a desk starts from is a template kept where no desk writes:
  <prefix>/share/inkstone/empty-database (empty-database beside the program in the Windows
  zip). The first start copies it into 小说数据 when no data.edb is there; installing,
  upgrading or unpacking a newer version replaces only the template, never 小说数据.
)";

std::string GbkPathArg(const char* native) { return platform::GbkPath(native); }

std::string Utf8(std::string_view gbk) { return platform::GbkToUtf8(gbk); }

// A path from UTF-8 on every system (a narrow string is the ANSI code page on Windows).
fs::path PathOfUtf8(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "database_tool: %s\n", message.c_str());
  return 2;
}

int FailCode(const std::string& what, int32_t code) {
  return Fail(what + ": " + Utf8(database::ErrorText(code)) + " (" + std::to_string(code) + ")");
}

// Options after the positional arguments.
struct Options {
  std::vector<std::string> positional;
  std::string password;
  std::vector<std::string> indexes;
  bool repair = false;
  std::string name_field = "姓名";
  std::string text_field = "学号";
  int version = 0;
  std::string out;
  // The novel commands.
  std::string format;
  std::string encoding;
  std::string pattern;
  bool lf = false;
  bool indent = false;
  bool headings = true;
  int from = 0;
  int to = 0;
  std::string title;
  std::string author;
  std::string cover;
};

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string index;
    if (arg == "--password") {
      if (!value(&options->password)) return false;
    } else if (arg == "--index") {
      if (!value(&index)) return false;
      options->indexes.push_back(GbkPathArg(index.c_str()));
    } else if (arg == "--repair") {
      options->repair = true;
    } else if (arg == "--name-field") {
      if (!value(&options->name_field)) return false;
    } else if (arg == "--text-field") {
      if (!value(&options->text_field)) return false;
    } else if (arg == "--version") {
      std::string number;
      if (!value(&number)) return false;
      options->version = std::atoi(number.c_str());
      if (options->version < 1) {
        *error = "--version needs a number from 1";
        return false;
      }
    } else if (arg == "--out") {
      if (!value(&options->out)) return false;
    } else if (arg == "--format" || arg == "--encoding" || arg == "--pattern" || arg == "--title" ||
               arg == "--author" || arg == "--cover") {
      std::string* field = arg == "--format"     ? &options->format
                           : arg == "--encoding" ? &options->encoding
                           : arg == "--pattern"  ? &options->pattern
                           : arg == "--title"    ? &options->title
                           : arg == "--author"   ? &options->author
                                                 : &options->cover;
      if (!value(field)) return false;
    } else if (arg == "--from" || arg == "--to") {
      std::string number;
      if (!value(&number)) return false;
      (arg == "--from" ? options->from : options->to) = std::atoi(number.c_str());
      if (std::atoi(number.c_str()) < 1) {
        *error = arg + " needs a chapter number from 1";
        return false;
      }
    } else if (arg == "--lf") {
      options->lf = true;
    } else if (arg == "--indent") {
      options->indent = true;
    } else if (arg == "--no-headings") {
      options->headings = false;
    } else if (arg.starts_with("--")) {
      *error = "unknown option " + arg;
      return false;
    } else {
      options->positional.push_back(arg);
    }
  }
  return true;
}

const std::map<std::string, int32_t>& TypeNames() {
  static const std::map<std::string, int32_t> names = {
      {"byte", 1},    {"short", 2},    {"int", 3},     {"long", 4},  {"float", 5},    {"double", 6},
      {"logical", 7}, {"datetime", 8}, {"routine", 9}, {"text", 10}, {"byteset", 11}, {"memo", 12}};
  return names;
}

std::string TypeName(int32_t type) {
  for (const auto& [name, value] : TypeNames()) {
    if (value == type) return name;
  }
  return "?";
}

int Create(const Options& options) {
  if (options.positional.size() < 2) return Fail("create needs a file and at least one field");
  std::vector<database::FieldSpec> field_list;
  for (size_t i = 1; i < options.positional.size(); ++i) {
    const std::string& argument = options.positional[i];
    const size_t colon = argument.find(':');
    if (colon == std::string::npos) return Fail("field \"" + argument + "\" has no type");
    const size_t second = argument.find(':', colon + 1);
    const std::string type = argument.substr(
        colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1);
    const auto found = TypeNames().find(type);
    if (found == TypeNames().end()) return Fail("unknown field type \"" + type + "\"");
    database::FieldSpec field;
    field.name = platform::Utf8ToGbk(argument.substr(0, colon));
    field.type = found->second;
    if (second != std::string::npos) field.width = std::atoi(argument.c_str() + second + 1);
    if (field.type == database::kTextField && field.width <= 0) {
      return Fail("text field \"" + argument + "\" needs a width, as name:text:20");
    }
    if (field.name.empty() || field.name.size() > 16) {
      return Fail("field name \"" + argument.substr(0, colon) + "\" must be 1 to 16 bytes in GBK");
    }
    field_list.push_back(field);
  }
  const int32_t result =
      database::CreateDatabase(GbkPathArg(options.positional[0].c_str()), field_list, options.password);
  if (result == database::code::kNotADatabase)
    return Fail("the field list is not usable (duplicate names?)");
  if (result != 0)
    return FailCode("cannot create " + options.positional[0] + " (does it exist?)", result);
  return 0;
}

// Opens a database read-only for inspection.
int32_t OpenForReading(const Options& options, Database** database) {
  database::OpenOptions open;
  open.path = GbkPathArg(options.positional[0].c_str());
  open.read_only = true;
  open.password = options.password;
  database::DatabaseList& list = database::DatabaseList::Instance();
  const int32_t result = list.Open(open);
  *database = result == 0 ? list.Current() : nullptr;
  return result;
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  return out + "\"";
}

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t n = static_cast<uint8_t>(bytes[i]) << 16 |
                       static_cast<uint8_t>(bytes[i + 1]) << 8 | static_cast<uint8_t>(bytes[i + 2]);
    for (int shift : {18, 12, 6, 0}) out.push_back(kAlphabet[(n >> shift) & 63]);
  }
  if (i < bytes.size()) {
    uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    out.push_back(kAlphabet[(n >> 18) & 63]);
    out.push_back(kAlphabet[(n >> 12) & 63]);
    out.push_back(i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=');
    out.push_back('=');
  }
  return out;
}

// Days since 1899-12-30 as ISO 8601 local date and time.
std::string IsoDateTime(double days) {
  const double whole = std::floor(days);
  int64_t seconds = std::llround((days - whole) * 86400.0);
  int64_t day = static_cast<int64_t>(whole) - 25569 + 719468;  // to 0000-03-01 based
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;
  }
  const int64_t era = (day >= 0 ? day : day - 146096) / 146097;
  const int64_t doe = day - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  char text[128];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld",
                static_cast<long long>(y), static_cast<long long>(m), static_cast<long long>(d),
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                static_cast<long long>(seconds % 60));
  return text;
}

template <typename T>
T As(const std::string& bytes) {
  T value{};
  std::memcpy(&value, bytes.data(), std::min(sizeof(T), bytes.size()));
  return value;
}

std::string JsonValue(const database::FieldDefinition& field, const std::string& bytes) {
  switch (field.type) {
    case database::kByteField:
      return std::to_string(As<uint8_t>(bytes));
    case database::kShortField:
      return std::to_string(As<int16_t>(bytes));
    case database::kIntField:
      return std::to_string(As<int32_t>(bytes));
    case database::kLongField:
      return std::to_string(As<int64_t>(bytes));
    case database::kRoutineField:
      return std::to_string(As<uint32_t>(bytes));
    case database::kFloatField:
    case database::kDoubleField: {
      const double value =
          field.type == database::kFloatField ? As<float>(bytes) : As<double>(bytes);
      if (!std::isfinite(value)) return "null";
      char text[40];
      std::snprintf(text, sizeof text, "%.17g", value);
      return text;
    }
    case database::kLogicalField:
      return As<int16_t>(bytes) != 0 ? "true" : "false";
    case database::kDateTimeField:
      return JsonString(IsoDateTime(As<double>(bytes)));
    case database::kByteSetField:
      return JsonString(Base64(bytes));
    default:
      return JsonString(Utf8(bytes));
  }
}

int Dump(const Options& options) {
  if (options.positional.size() != 1) return Fail("dump needs one file");
  Database* db = nullptr;
  if (const int32_t result = OpenForReading(options, &db)) return FailCode("cannot open", result);
  int32_t count = 0;
  int32_t next_id = 0;
  if (const int32_t result = db->RecordCount(&count, &next_id))
    return FailCode("cannot count", result);
  // Ids straight from the records (the engine hands out values, not ids).
  platform::FileResult main =
      platform::File::Open(db->full_path(), platform::FileAccess::kRead,
                           platform::ShareMode::kDenyNone, platform::Disposition::kOpenExisting);
  if (!main.ok()) return Fail("cannot read the main file");
  db->GoFirst();
  for (int32_t r = 0; r < count; ++r, db->Skip(1)) {
    bool deleted = false;
    if (const int32_t result = db->IsDeleted(&deleted))
      return FailCode("cannot read record", result);
    std::string line = "{\"number\": " + std::to_string(r + 1) + ", \"id\": ";
    std::string fields;
    int32_t id = 0;
    uint8_t word[4] = {};
    main.file->ReadAt(db->layout().RecordPosition(r), word, 4);
    id = database::LoadI32(word);
    for (size_t f = 0; f < db->fields().size(); ++f) {
      std::string bytes;
      if (const int32_t result = db->ReadField(static_cast<int32_t>(f), &bytes)) {
        return FailCode("cannot read record " + std::to_string(r + 1), result);
      }
      if (!fields.empty()) fields += ", ";
      fields += JsonString(Utf8(db->fields()[f].name)) + ": " + JsonValue(db->fields()[f], bytes);
    }
    line += std::to_string(id < 0 ? -static_cast<int64_t>(id) : id) +
            ", \"deleted\": " + (deleted ? "true" : "false") + ", \"fields\": {" + fields + "}}";
    std::puts(line.c_str());
  }
  return 0;
}

int Info(const Options& options) {
  if (options.positional.size() != 1) return Fail("info needs one file");
  Database* db = nullptr;
  if (const int32_t result = OpenForReading(options, &db)) return FailCode("cannot open", result);
  const database::DatabaseHeader& header = db->layout().header;
  std::printf("file:          %s\n", platform::NativePath(db->full_path()).c_str());
  std::printf("kind:          %s\n", header.IsProtected() ? "protected by a password" : "plain");
  std::printf("version:       0x%X\n", static_cast<unsigned>(header.version()));
  std::printf("records:       %d\n", header.record_count());
  std::printf("next id:       %d\n", header.next_id());
  std::printf("record size:   %d bytes\n", header.record_size());
  std::printf("data offset:   %d\n", db->layout().data_offset);
  std::printf("fields:\n");
  for (const database::FieldDefinition& field : db->fields()) {
    std::printf("  %-16s %-8s offset %d", Utf8(field.name).c_str(), TypeName(field.type).c_str(),
                field.offset);
    if (field.type == database::kTextField) std::printf(" width %d", field.width);
    std::printf("\n");
  }
  database::CheckReport report;
  database::CheckDatabase(db->full_path(), {}, false, &report);
  std::printf("live records:  %d (deleted %d)\n", report.live_records,
              report.record_count - report.live_records);
  if (database::MemoFile* memo = db->memo()) {
    database::MemoHeader memo_header;
    memo->ReadHeader(&memo_header);
    std::printf("memo file:     %d blocks of 512 bytes\n", memo_header.block_count);
    std::printf("  in chains:   %d\n", report.chain_blocks);
    std::printf("  free list:   %d blocks (count %d, head %d)\n", report.free_blocks,
                memo_header.free_count, memo_header.free_head);
    std::printf("  leaked:      %d\n", report.leaked_blocks);
  }
  std::printf("check:         %s\n", report.ok() ? "no fault" : report.faults.front().c_str());
  return 0;
}

int Check(const Options& options) {
  if (options.positional.size() != 1) return Fail("check needs one file");
  database::CheckReport report;
  const int32_t result = database::CheckDatabase(GbkPathArg(options.positional[0].c_str()),
                                                 options.indexes, options.repair, &report);
  if (result != 0) return FailCode("cannot open " + options.positional[0], result);
  for (const database::RescuedChain& chain : report.rescued) {
    std::printf("rescued: record %d field %s: %lld bytes saved to %s, the chain cut at its break\n",
                chain.record, chain.field.c_str(), static_cast<long long>(chain.bytes),
                chain.path.c_str());
  }
  for (const std::string& fault : report.faults) std::printf("FAULT: %s\n", fault.c_str());
  for (const std::string& note : report.leftovers) {
    std::printf("%s: %s\n", options.repair && report.ok() ? "repaired" : "note", note.c_str());
  }
  std::printf("%d records, %d memo blocks (%d in chains, %d free, %d leaked): %s\n",
              report.record_count, report.memo_blocks, report.chain_blocks, report.free_blocks,
              report.leaked_blocks, report.ok() ? "no fault" : "FAULTS FOUND");
  return report.ok() ? 0 : 1;
}

std::string SafeFileName(std::string name) {
  for (char& c : name) {
    if (c == '/' || c == '\\' || (static_cast<unsigned char>(c) < 0x20)) c = '_';
  }
  if (name == "." || name == "..") name = "_";
  return name;
}

int Export(const Options& options) {
  if (options.positional.size() != 2) return Fail("export needs a file and a folder");
  Database* db = nullptr;
  if (const int32_t result = OpenForReading(options, &db)) return FailCode("cannot open", result);
  const int32_t name_field = db->FieldByName(platform::Utf8ToGbk(options.name_field));
  const int32_t text_field = db->FieldByName(platform::Utf8ToGbk(options.text_field));
  if (name_field < 0 || text_field < 0) return Fail("the database has no such name or text field");
  const fs::path folder = PathOfUtf8(options.positional[1]);
  std::error_code error;
  fs::create_directories(folder, error);
  int32_t count = 0;
  int32_t next_id = 0;
  if (const int32_t result = db->RecordCount(&count, &next_id))
    return FailCode("cannot count", result);
  std::set<std::string> used;
  int exported = 0;
  db->GoFirst();
  for (int32_t r = 0; r < count; ++r, db->Skip(1)) {
    bool deleted = false;
    if (db->IsDeleted(&deleted) != 0 || deleted) continue;
    std::string name;
    std::string text;
    if (db->ReadField(name_field, &name) != 0 || db->ReadField(text_field, &text) != 0) {
      return Fail("cannot read record " + std::to_string(r + 1));
    }
    text.resize(strnlen(text.data(), text.size()));  // a chapter text ends at its first zero
    std::string base = SafeFileName(Utf8(name));
    if (base.empty()) base = "chapter-" + std::to_string(r + 1);
    std::string file_name = base + ".txt";
    for (int n = 2; used.count(file_name); ++n)
      file_name = base + " (" + std::to_string(n) + ").txt";
    used.insert(file_name);
    // Written beside and renamed into place, so a file is never seen half written.
    const fs::path target = folder / PathOfUtf8(file_name);
    const fs::path temporary = folder / PathOfUtf8(file_name + ".part");
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      const std::string utf8 = Utf8(text);
      out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
      if (!out.flush()) return Fail("cannot write " + Utf8Of(temporary));
    }
    fs::rename(temporary, target, error);
    if (error) return Fail("cannot write " + Utf8Of(target));
    ++exported;
  }
  std::printf("%d chapters exported to %s\n", exported, Utf8Of(folder).c_str());
  return 0;
}

// The history file of a desk folder, or of its 小说数据 folder given itself.
int PrintHistory(const Options& options) {
  if (options.positional.size() != 1) return Fail("usage: history <folder>");
  const fs::path folder = PathOfUtf8(options.positional[0]);
  fs::path file = folder / PathOfUtf8("小说数据") / PathOfUtf8("写作记录.json");
  if (!fs::exists(file)) file = folder / PathOfUtf8("写作记录.json");
  writing_history::History history;
  switch (writing_history::ReadHistoryFile(platform::GbkPathOf(file), &history)) {
    case writing_history::HistoryFileState::kMissing:
      return Fail("no writing history in " + options.positional[0]);
    case writing_history::HistoryFileState::kUnreadable:
      return Fail(Utf8Of(file) + " cannot be read now (permissions? in use?)");
    case writing_history::HistoryFileState::kDamaged:
      return Fail(Utf8Of(file) + " is not a writing history (damaged?)");
    case writing_history::HistoryFileState::kRead:
      break;
  }
  for (const auto& [day, totals] : history.days()) {
    std::printf("%s\n", writing_history::DayLine(day, totals).c_str());
  }
  return 0;
}

const char* ReasonName(chapter_history::VersionReason reason) {
  switch (reason) {
    case chapter_history::VersionReason::kLeft: return "left";
    case chapter_history::VersionReason::kWhileEditing: return "ten minutes of editing";
    case chapter_history::VersionReason::kBeforeBigChange: return "before a big change";
    case chapter_history::VersionReason::kBeforeDelete: return "before a delete";
    case chapter_history::VersionReason::kBeforeRestore: return "before a restore";
    case chapter_history::VersionReason::kBeforeReplace: return "before a replace";
  }
  return "?";
}

std::string LocalTime(int64_t seconds) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string VersionText(std::string_view gbk) { return Utf8(gbk.substr(0, gbk.find('\0'))); }

// The chapter history of a desk folder, or of its 小说数据 folder given itself.
int PrintVersions(const Options& options) {
  if (options.positional.empty() || options.positional.size() > 2 ||
      (options.version != 0) != !options.out.empty() ||
      (options.version != 0 && options.positional.size() != 2)) {
    return Fail("usage: versions <folder> [chapter] [--version <n> --out <file>]");
  }
  const fs::path folder = PathOfUtf8(options.positional[0]);
  fs::path file = folder / PathOfUtf8("小说数据") / PathOfUtf8("章节历史.dat");
  if (!fs::exists(file)) file = folder / PathOfUtf8("章节历史.dat");
  if (!fs::exists(file)) return Fail("no chapter history in " + options.positional[0]);
  chapter_history::OpenReport report;
  const auto store = chapter_history::VersionStore::OpenToRead(platform::GbkPathOf(file), &report);
  if (!store) return Fail(Utf8Of(file) + " is not a chapter history (damaged? unreadable?)");
  if (report.versions_lost > 0) {
    std::fprintf(stderr, "database_tool: %zu versions cannot be read back\n", report.versions_lost);
  }
  if (options.positional.size() == 1) {
    for (const chapter_history::ChapterId chapter : store->Chapters()) {
      const auto versions = store->Versions(chapter);
      chapter_history::VersionText newest;
      store->Read({chapter, versions.size() - 1}, &newest);
      std::printf("{\"chapter\": %d, \"versions\": %zu, \"newest\": %s, \"name\": %s}\n", chapter,
                  versions.size(), JsonString(LocalTime(versions.back().time)).c_str(),
                  JsonString(VersionText(newest.name)).c_str());
    }
    return 0;
  }
  const chapter_history::ChapterId chapter = std::atoi(options.positional[1].c_str());
  const auto versions = store->Versions(chapter);
  if (versions.empty()) return Fail("chapter " + options.positional[1] + " has no versions");
  if (options.version != 0) {
    if (static_cast<size_t>(options.version) > versions.size()) {
      return Fail("chapter " + options.positional[1] + " has " + std::to_string(versions.size()) +
                  " versions");
    }
    chapter_history::VersionText version;
    if (!store->Read({chapter, static_cast<size_t>(options.version - 1)}, &version)) {
      return Fail("that version cannot be read back");
    }
    const std::string utf8 = VersionText(version.text);
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size());
    const std::span<const uint8_t> pieces[] = {bytes};
    if (!commands::ReplaceFileContent(GbkPathArg(options.out.c_str()), pieces)) {
      return Fail("cannot write " + options.out);
    }
    std::printf("version %d of chapter %d written to %s\n", options.version, chapter,
                options.out.c_str());
    return 0;
  }
  for (size_t i = 0; i < versions.size(); ++i) {
    chapter_history::VersionText version;
    const bool read = store->Read({chapter, i}, &version);
    std::printf("{\"version\": %zu, \"time\": %s, \"reason\": %s, \"characters\": %lld, \"name\": %s}\n",
                i + 1, JsonString(LocalTime(versions[i].time)).c_str(),
                JsonString(ReasonName(versions[i].reason)).c_str(),
                static_cast<long long>(versions[i].characters),
                read ? JsonString(VersionText(version.name)).c_str() : "null");
  }
  return 0;
}

}  // namespace

// import, and export with --format: with the desk's builds only (they need Qt Core).
int NovelCommand(const std::string& command, const Options& options) {
#ifdef INKSTONE_NOVEL_COMMANDS
  if (command == "import") {
    if (options.positional.size() != 2) return Fail("import needs a database file and a TXT file");
    return novel_commands::Import({GbkPathArg(options.positional[0].c_str()), options.positional[1],
                                   options.encoding, options.pattern});
  }
  if (options.positional.size() != 1 || options.out.empty()) {
    return Fail("export --format needs a database file and --out <path>");
  }
  novel_commands::ExportArguments arguments;
  arguments.database = GbkPathArg(options.positional[0].c_str());
  arguments.out = options.out;
  arguments.format = options.format;
  arguments.encoding = options.encoding;
  arguments.lf = options.lf;
  arguments.indent = options.indent;
  arguments.headings = options.headings;
  arguments.from = options.from;
  arguments.to = options.to;
  arguments.title = options.title;
  arguments.author = options.author;
  arguments.cover = options.cover;
  return novel_commands::Export(arguments);
#else
  (void)options;
  return Fail(command + " of a novel is not in this build of the tool (it comes with the desk's)");
#endif
}

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
  std::vector<char*> utf8_argv;
  for (const std::string& argument : arguments) {
    utf8_argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv = utf8_argv.data();
#ifdef _WIN32
  // The same bytes as on every other system (no CR before each LF), in UTF-8 also on a console.
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
#endif
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) return Fail(error);
  const std::string command = argv[1];
  int status = 2;
  if (command == "create") {
    status = Create(options);
  } else if (command == "info") {
    status = Info(options);
  } else if (command == "dump") {
    status = Dump(options);
  } else if (command == "check") {
    status = Check(options);
  } else if (command == "export" && options.format.empty()) {
    status = Export(options);
  } else if (command == "export" || command == "import") {
    status = NovelCommand(command, options);
  } else if (command == "history") {
    status = PrintHistory(options);
  } else if (command == "versions") {
    status = PrintVersions(options);
  } else {
    status = Fail("unknown command \"" + command + "\"; see --help");
  }
  database::DatabaseList::Instance().CloseAll();
  return status;
}
