// The desktop services on Qt: the choosers, the clipboard and the beep. The
// same object serves the core's window services (finding our window by its
// title, the hourglass cursor, letting events run).
#pragma once

#include <string>
#include <vector>

#include "core/files.h"
#include "ui/desktop.h"

class QFileDialog;
class QFont;
class QWidget;

namespace quilor::ui {

// The font the font dialog opens on: the family, size and effects of
// initial, in the plainest style of the family with its weight and slant.
QFont DialogFont(const Font& initial);

class QtDesktop : public Desktop, public quilor::DesktopServices {
 public:
  std::vector<std::string> ChooseOpenFiles(FileChoice& choice) override;
  std::string ChooseSaveFile(FileChoice& choice) override;
  std::string ChooseFolder(const std::string& title, const std::string& start) override;
  std::optional<Rgb> ChooseColour(Rgb initial) override;
  std::optional<Font> ChooseFont(const Font& initial) override;
  void SetClipboardText(const std::string& utf8) override;
  void SetClipboardImage(const QImage& image) override;
  std::string ClipboardText() override;
  void Beep() override;

  // DesktopServices
  void SetCursor(int cursor) override;
  void ProcessMessages() override;

 private:
  bool hourglass_ = false;
};

// "Text (*.txt *.asc)" entries for a Qt file dialog from "Text|*.txt;*.asc|..."
// (captions that end in their own "(...)" have it replaced).
std::vector<std::string> QtFileFilters(const std::string& filter);

// Sizes a file dialog for its screen and lets the columns of its detailed
// view take the width of what they show (size, kind, date), the names the
// rest: no column cut short.
void FitFileDialog(QFileDialog& dialog);

// Installs the Qt desktop for the program (both interfaces).
void InstallQtDesktop();

}  // namespace quilor::ui
