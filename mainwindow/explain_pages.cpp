#include "mainwindow/explain_pages.h"

#include <initializer_list>

#include "core/messages.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {

constexpr int kMsgGraph = 512;
constexpr int kMsgWelcomeIn = 1073;

// Builds paragraphs from a list where a negative number opens a bulleted run
// of that many texts and 0 joins the next text to the previous paragraph.
ExplainPage Page(int title, std::initializer_list<int> items) {
  ExplainPage page;
  page.title = GetMessageText(title);
  int bullets = 0;
  bool join = false;
  for (int item : items) {
    if (item < 0) {
      bullets = -item;
      continue;
    }
    if (item == 0) {
      join = true;
      continue;
    }
    if (join && !page.paragraphs.empty()) {
      page.paragraphs.back().texts.push_back(item);
      join = false;
      continue;
    }
    ExplainParagraph p;
    p.texts.push_back(item);
    p.bulleted = bullets > 0;
    if (bullets > 0) --bullets;
    page.paragraphs.push_back(std::move(p));
  }
  return page;
}

std::string Escape(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '\n': out += "<br>"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

ExplainPage WelcomePage() {
  ExplainPage page = Page(kMsgWelcomeIn, {1074, 1088, 1087, 1090});
  page.title += "Quilor";
  return page;
}

ExplainPage ResultTypeExplainPage(int index) {
  switch (index) {
    case 0: return Page(304, {1079, -4, 354, 355, 356, 357, 1080, -4, 345, 346, 347, 348, 1081, 1085, 1082});
    case 1:
    case 2:
    case 3: return Page(1072, {1083, 1084, -3, 307, 308, 300, 1086, 887, 1103});
    case 4: return Page(309, {1087, 1088, 1090, 1089, 1091});
    case 5: return Page(390, {1092, 1093, 1094, 1095, 1096});
    case 6:
    case 7: return Page(743, {1097, 1098, -5, 1109, 1111, 1112, 1110, 1113, 1099});
    case 8: return Page(845, {856, 1104, 0, 1105, 1107, 887, 1096});
    case 9: return Page(848, {860, 1104, 0, 1106, 1108, 887, 1096});
    case 10: return Page(852, {1104, 887, 1096, 1086});
    default: break;
  }
  if (index < 0) return WelcomePage();
  return Page(564, {1100, -2, 889, 890, 1101, 1102, 1082, 571});
}

std::string GraphLabel(int nameText) {
  std::string name = GetMessageText(nameText);
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return std::string(GetMessageText(kMsgGraph)) + ": " + name;
}

ExplainPage GraphExplainPage(int kind) {
  ExplainPage page;
  int name = 0;
  switch (kind) {
    case 1:
      name = 537;
      page = Page(kMsgGraph, {1126, 1127, 1128, 1129, 1091});
      break;
    case 2:
      name = 514;
      page = Page(kMsgGraph, {1130, 1131, 1128, 1129, 1091});
      break;
    case 3:
      name = 538;
      page = Page(kMsgGraph, {1132, 1133, 1134, 1135, 1091});
      break;
    case 4:
      name = 564;
      page = Page(kMsgGraph, {1136, 1137, 1138, 1139, 1129});
      break;
    case 5:
      name = 1245;
      page = Page(kMsgGraph, {1246, 1247, 1248, 1249, 1250, 1129, 1091});
      break;
    default: return page;
  }
  page.title = GraphLabel(name);
  return page;
}

int ResultTypeHelpContext(int index) {
  if (index < 0) return 0;
  if (index == 0) return 997;
  if (index <= 3) return 916;
  if (index == 4) return 963;
  if (index == 5) return 920;
  if (index <= 9) return 943;
  return 700;
}

std::string ExplainPageHtml(const ExplainPage& page) {
  std::string html;
  bool inList = false;
  for (const ExplainParagraph& p : page.paragraphs) {
    std::string text;
    for (int id : p.texts) text += GetMessageText(id);
    text = Escape(Cp1252ToUtf8(text));
    if (p.bulleted && !inList) html += "<ul>";
    if (!p.bulleted && inList) html += "</ul>";
    inList = p.bulleted;
    html += p.bulleted ? "<li>" + text + "</li>" : "<p>" + text + "</p>";
  }
  if (inList) html += "</ul>";
  return html;
}

}  // namespace quilor::ui
