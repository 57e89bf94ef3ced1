#pragma once

#include <string>

// The database tool's novel commands (Qt Core): a TXT novel split into chapters and appended
// to a chapter database, and a chapter database exported as one TXT file, a TXT file per
// chapter or an EPUB book. Each returns the tool's exit status (0, or 2 with the reason on
// standard error).
namespace novel_commands {

struct ImportArguments {
  std::string database;  // the chapter database (main file), GBK path
  std::string file;      // the TXT file, UTF-8 path
  std::string encoding;  // "" (found from the file), utf-8, utf-8-bom, utf-16le, utf-16be, gbk
  std::string pattern;   // the author's own heading pattern, or ""
};
int Import(const ImportArguments& arguments);

struct ExportArguments {
  std::string database;  // GBK path
  std::string out;       // the file (txt, epub) or the folder (txt-files), UTF-8 path
  std::string format;    // txt, txt-files, epub
  std::string encoding;  // utf-8 (default), utf-8-bom, gbk
  bool lf = false;       // LF line breaks instead of CR LF
  bool indent = false;
  bool headings = true;
  int from = 0;  // chapter numbers from 1; 0: from the first / to the last
  int to = 0;
  std::string title;
  std::string author;
  std::string cover;  // a JPEG or PNG file, UTF-8 path, or ""
};
int Export(const ExportArguments& arguments);

}  // namespace novel_commands
