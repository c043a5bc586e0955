// The desktop services the windows share: file and folder choosers, colour
// and font choosers, the clipboard and the beep. The program installs the Qt
// version (ui/desktop_qt.h); tests and tools install a ScriptedDesktop
// that answers from queues and records every call.
//
// Opening files, folders and addresses, starting programs, the hourglass and
// letting events run are the engine's shell services (core/files.h:
// ShellOpenFile, ExploreFolder, SpawnProgram with SetProgramLauncher in tests,
// ShowHourglass/RestoreCursor, ProcessMessages through DesktopServices).
//
// Paths are UTF-8 (file names on this system); clipboard text is UTF-8.
#pragma once

#include <QImage>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/canvas.h"

namespace quilor::ui {

struct FileChoice {
  std::string title;      // UTF-8
  std::string folder;     // start folder
  std::string fileName;   // proposed name (save)
  std::string filter;     // "Text|*.txt;*.asc|All|*.*" (entries of caption and masks, '|' separated)
  int filterIndex = 1;    // 1-based; updated with the user's choice
  bool multiple = false;  // open: several files
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Empty when cancelled.
  virtual std::vector<std::string> ChooseOpenFiles(FileChoice& choice) = 0;
  virtual std::string ChooseSaveFile(FileChoice& choice) = 0;
  virtual std::string ChooseFolder(const std::string& title, const std::string& start) = 0;
  virtual std::optional<Rgb> ChooseColour(Rgb initial) = 0;
  virtual std::optional<Font> ChooseFont(const Font& initial) = 0;
  virtual void SetClipboardText(const std::string& utf8) = 0;
  virtual void SetClipboardImage(const QImage& image) = 0;
  virtual std::string ClipboardText() = 0;
  virtual void Beep() = 0;
};

// The installed services; never null (a ScriptedDesktop by default).
Desktop& CurrentDesktop();
// Installs desktop (not owned); nullptr puts the default back.
void SetDesktop(Desktop* desktop);

class ScriptedDesktop : public Desktop {
 public:
  std::deque<std::vector<std::string>> openAnswers;
  std::deque<std::string> saveAnswers;
  std::deque<std::string> folderAnswers;
  std::deque<std::optional<Rgb>> colourAnswers;
  std::deque<std::optional<Font>> fontAnswers;

  std::string clipboard;
  QImage clipboardImage;
  int beeps = 0;
  std::vector<FileChoice> choices;  // every file dialog asked

  std::vector<std::string> ChooseOpenFiles(FileChoice& choice) override;
  std::string ChooseSaveFile(FileChoice& choice) override;
  std::string ChooseFolder(const std::string& title, const std::string& start) override;
  std::optional<Rgb> ChooseColour(Rgb initial) override;
  std::optional<Font> ChooseFont(const Font& initial) override;
  void SetClipboardText(const std::string& utf8) override { clipboard = utf8; }
  void SetClipboardImage(const QImage& image) override { clipboardImage = image; }
  std::string ClipboardText() override { return clipboard; }
  void Beep() override { ++beeps; }
};

// Installs a ScriptedDesktop for the life of a scope (tests).
class ScopedScriptedDesktop {
 public:
  ScopedScriptedDesktop() { SetDesktop(&desktop); }
  ~ScopedScriptedDesktop() { SetDesktop(nullptr); }
  ScopedScriptedDesktop(const ScopedScriptedDesktop&) = delete;
  ScopedScriptedDesktop& operator=(const ScopedScriptedDesktop&) = delete;
  ScriptedDesktop desktop;
};

}  // namespace quilor::ui
