#include "core/files.h"

#include <cstring>

#include "core/chartables.h"

namespace quilor {

bool UnknownExtension = false;

const char* FileNamePart(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  return name;
}

std::string ExtensionFilter(const std::string& name) {
  const char* file = FileNamePart(name.c_str());
  const char* dot = std::strrchr(file, '.');
  std::string filter = dot ? std::string("*") + dot : std::string("*");
  if (filter.size() >= 13) filter = "*.*";
  return filter;
}

int DocumentKind(const std::string& name) {
  UnknownExtension = false;
  std::string ext = ExtensionFilter(name).substr(0, 10);
  if (ext.empty()) return kDocHtml;
  LowerCaseString(ext);
  if (ext[0] == '*') ext.erase(0, 1);
  if (ext == ".text") ext = ".txt";
  if (ext == ".pptx" || ext == ".ppsx") return kDocPowerPointXml;
  if (ext.size() > 4) ext.resize(4);
  static const struct {
    const char* ext;
    int kind;
  } kTable[] = {{".txt", kDocText},   {".htm", kDocHtml},    {".doc", kDocWord},        {".pdf", kDocPdf},
                {".xml", kDocXml},    {".sgm", kDocSgml},    {".asc", kDocDosText},     {".tx8", kDocDosText},
                {".rtf", kDocRtf},    {".*", kDocAnyExtension}, {".mac", kDocMacText},  {".ppt", kDocPowerPoint},
                {".odt", kDocOdt},    {".odp", kDocOdp},     {".xps", kDocXps},         {".swf", kDocFlash},
                {".xls", kDocExcel},  {".scn", kDocScenario}, {".idt", kDocIndex},      {".mit", kDocOtherProduct},
                {".mft", kDocOtherProduct}, {".mvi", kDocOtherProduct}, {".dlm", kDocBorders}};
  for (const auto& e : kTable)
    if (ext == e.ext) return e.kind;
  UnknownExtension = true;
  return kDocHtml;
}

bool IsReadableDocument(const std::string& name) {
  int kind = DocumentKind(name);
  return kind <= kDocOdp && !UnknownExtension;
}

}  // namespace quilor
