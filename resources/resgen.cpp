// Compiles the numbered string table (resources/strings/*.txt) into C++.
//
// Each line of a table file is "number TAB text" or "number name TAB text";
// blank lines and lines that start with '#' are skipped. A name (a C++
// identifier that starts with a capital) becomes the constant msg::kName in
// the header of names, so that code says msg::kOpen instead of 527. Texts are UTF-8 in the files and Windows-1252 in
// the program; "\n", "\r", "\t" and "\\" in a text stand for those characters.
// A number given twice with different texts or names, a name given to two numbers, a malformed line or a character that
// Windows-1252 has no byte for stops the build with the file and line.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

#include "platform/text_encoding.h"

namespace {

bool Fail(const std::string& where, const std::string& why) {
  std::cerr << where << ": " << why << "\n";
  return false;
}

bool ConvertText(const std::string& in, std::string& out, const std::string& where) {
  out.clear();
  for (size_t i = 0; i < in.size();) {
    char32_t cp = 0;
    if (!quilor::NextUtf8CodePoint(in, i, cp)) return Fail(where, "invalid UTF-8");
    if (cp == '\\' && i < in.size()) {
      char e = in[i++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        default: return Fail(where, std::string("unknown escape \\") + e);
      }
      continue;
    }
    // The C1 controls, the five undefined bytes' values among them, are no
    // text either.
    const int b = cp >= 0x80 && cp <= 0x9F ? -1 : quilor::Cp1252ByteOf(cp);
    if (b < 0) return Fail(where, "character outside Windows-1252");
    out += static_cast<char>(b);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: resgen OUTPUT.cpp NAMES.h TABLE.txt...\n";
    return 2;
  }
  std::map<int, std::string> table;
  std::map<std::string, int> idOfName;
  std::map<int, std::string> nameOfId;
  for (int a = 3; a < argc; ++a) {
    std::ifstream in(argv[a], std::ios::binary);
    if (!in) {
      std::cerr << argv[a] << ": cannot read\n";
      return 1;
    }
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
      ++lineNo;
      std::string where = std::string(argv[a]) + ":" + std::to_string(lineNo);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == '#') continue;
      size_t tab = line.find('\t');
      if (tab == std::string::npos || tab == 0) return Fail(where, "expected number TAB text"), 1;
      char* end = nullptr;
      long id = std::strtol(line.c_str(), &end, 10);
      std::string name;
      if (end != line.c_str() && *end == ' ') {
        name =
            line.substr(static_cast<size_t>(end - line.c_str()) + 1, tab - static_cast<size_t>(end - line.c_str()) - 1);
        bool valid = !name.empty() && std::isupper(static_cast<unsigned char>(name[0]));
        for (char c : name) valid = valid && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!valid) return Fail(where, "bad message name \"" + name + "\""), 1;
        end += 1 + name.size();
      }
      if (end != line.c_str() + tab || id < 0 || id > 65535) return Fail(where, "bad message number"), 1;
      if (!name.empty()) {
        auto [byName, newName] = idOfName.emplace(name, static_cast<int>(id));
        if (!newName && byName->second != id) return Fail(where, "name " + name + " given to two numbers"), 1;
        auto [byId, newId] = nameOfId.emplace(static_cast<int>(id), name);
        if (!newId && byId->second != name) return Fail(where, "message " + std::to_string(id) + " has two names"), 1;
      }
      std::string text;
      if (!ConvertText(line.substr(tab + 1), text, where)) return 1;
      if (text.size() > 400) return Fail(where, "text longer than 400 characters"), 1;
      auto [it, added] = table.emplace(static_cast<int>(id), text);
      if (!added && it->second != text)
        return Fail(where, "message " + std::to_string(id) + " is defined twice with different texts"), 1;
    }
  }
  std::string tmp = std::string(argv[1]) + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary);
    out << "// Generated from resources/strings/*.txt; do not edit.\n"
           "#include \"core/string_table.h\"\n"
           "namespace quilor {\n"
           "const StringTableEntry kStringTable[] = {\n";
    for (const auto& [id, text] : table) {
      out << "  {" << id << ", \"";
      for (unsigned char c : text) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\%03o", c);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') out << c;
        else out << buf;
      }
      out << "\"},\n";
    }
    out << "};\nconst int kStringTableSize = " << table.size() << ";\n}  // namespace quilor\n";
    if (!out) return Fail(tmp, "write failed"), 1;
  }
  if (std::rename(tmp.c_str(), argv[1]) != 0) return Fail(argv[1], "cannot rename"), 1;
  // The names; the header is rewritten only when it changes, so that a new
  // text alone does not rebuild what includes it.
  std::string header =
      "// Generated from resources/strings/*.txt; do not edit.\n"
      "// The messages that code names: msg::kName is the number of the text.\n"
      "#pragma once\n"
      "namespace quilor::msg {\n";
  for (const auto& [name, id] : idOfName)
    header += "inline constexpr int k" + name + " = " + std::to_string(id) + ";\n";
  header += "}  // namespace quilor::msg\n";
  std::string old;
  if (std::ifstream in{argv[2], std::ios::binary}) old.assign(std::istreambuf_iterator<char>(in), {});
  if (old != header) {
    std::ofstream out(argv[2], std::ios::binary);
    out << header;
    if (!out) return Fail(argv[2], "write failed"), 1;
  }
  return 0;
}
