#include "mainwindow/main_window_layout.h"

#include <algorithm>

#include "core/messages.h"
#include "core/options.h"

namespace quilor::ui {

MonitorArea KeepWholeOnMonitor(const MonitorArea& frame, const MonitorArea& monitor) {
  MonitorArea box = frame;
  box.width = std::max(0, std::min(frame.width, monitor.width));
  box.height = std::max(0, std::min(frame.height, monitor.height));
  box.left = std::max(monitor.left, std::min(frame.left, monitor.left + monitor.width - box.width));
  box.top = std::max(monitor.top, std::min(frame.top, monitor.top + monitor.height - box.height));
  return box;
}

MainWindowPlacement PlaceMainWindow(const MonitorArea& monitor) {
  MainWindowPlacement p;
  p.top = monitor.top + 40;
  p.left = monitor.left + 10;
  p.width = monitor.width - (monitor.width > 800 ? 370 : 240);
  // The height is measured from the monitor's own top, so that a monitor
  // placed below another keeps the same margins.
  p.height = monitor.height - 40 - 40;
  p.width = std::max(p.width, 100);
  p.height = std::max(p.height, 100);
  p.graphPanelHeight = p.height / 2 - 20;
  p.resultsPanelWidth = kDesignedResultsPanelWidth;
  if (monitor.width > 600) {
    if (monitor.width <= 800) p.resultsPanelWidth = 256;
    else if (monitor.width <= 1200) p.resultsPanelWidth = 288;
    else p.resultsPanelWidth = 340;
  }
  return p;
}

ListFonts ListFontsFor(bool largeFonts) {
  ListFonts fonts;
  if (largeFonts) {
    fonts.infoPanelHeight = 110;
    fonts.resultsPanelMinimumWidth = 250;
    fonts.itemHeight = 20;
    fonts.fontSize = 10;
  }
  return fonts;
}

int ListItemHeight(const ListFonts& fonts, int fontLineHeight) { return std::max(fonts.itemHeight, fontLineHeight); }

namespace {

struct FilterEntry {
  int text;
  const char* masks;
};

constexpr int kMsgTextFiles = 484, kMsgDosTexts = 485, kMsgWebPages = 487, kMsgXmlDocuments = 488,
              kMsgRtfDocuments = 489, kMsgMacintoshTexts = 490, kMsgSgmlDocuments = 491, kMsgWordDocuments = 492,
              kMsgPdfDocuments = 493, kMsgPowerPointDocuments = 1306, kMsgOpenDocumentFiles = 1307, kMsgAllFiles = 459;

constexpr FilterEntry kFilterEntries[] = {
    {kMsgTextFiles, "*.txt"},
    {kMsgWebPages, "*.htm;*.html;*.shtml;*.txt"},
    {kMsgXmlDocuments, "*.xml"},
    {kMsgRtfDocuments, "*.rtf"},
    {kMsgSgmlDocuments, "*.sgm;*.sgml"},
    {kMsgDosTexts, "*.asc;*.tx8"},
    {kMsgMacintoshTexts, "*.mac"},
    {kMsgWordDocuments, "*.doc;*.docx"},
    {kMsgPdfDocuments, "*.pdf"},
    {kMsgPowerPointDocuments, "*.ppt;*.pptx;*.ppsx"},
    {kMsgOpenDocumentFiles, "*.odt;*.odp"},
    {kMsgAllFiles, "*.*"},
};

}  // namespace

std::string BuildOpenDialogFilter() {
  std::string filter;
  for (const FilterEntry& e : kFilterEntries) {
    if (!filter.empty()) filter += '|';
    filter += GetMessageText(e.text);
    filter += '|';
    filter += e.masks;
  }
  return filter;
}

int OpenDialogFilterIndex() {
  const int index = Options->Get(opt::OpenFilterIndex);
  return index < 1 || index > 12 ? 12 : index;
}

}  // namespace quilor::ui
