// The desktop services the windows share: file and folder choosers, colour
// and font choosers, the clipboard, the beep, opening paths and addresses, the
// busy cursor and letting events run. The program installs the Qt version
// (mainwindow/desktop_qt.h); tests and tools install a ScriptedDesktop that
// answers from queues and records every call.
//
// Paths are UTF-8 (file names on this system); clipboard text is UTF-8.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/canvas.h"

namespace quilor::ui {

struct FileChoice {
  std::string title;            // UTF-8
  std::string folder;           // start folder
  std::string fileName;         // proposed name (save)
  std::string filter;           // "Text|*.txt;*.asc|All|*.*" (entries of caption and masks, '|' separated)
  int filterIndex = 1;          // 1-based; updated with the user's choice
  bool multiple = false;        // open: several files
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
  virtual std::string ClipboardText() = 0;
  virtual void Beep() = 0;
  // Opens a file or folder with the desktop's program; false when it could not start.
  virtual bool OpenPath(const std::string& path) = 0;
  virtual bool OpenUrl(const std::string& url) = 0;
  // Starts a program directly (never through a shell).
  virtual bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void ProcessEvents() = 0;
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
  int beeps = 0;
  int busyDepth = 0;
  std::vector<std::string> opened;      // paths and addresses, in order
  std::vector<std::vector<std::string>> started;  // program then arguments
  std::vector<FileChoice> choices;      // every file dialog asked
  bool openSucceeds = true;

  std::vector<std::string> ChooseOpenFiles(FileChoice& choice) override;
  std::string ChooseSaveFile(FileChoice& choice) override;
  std::string ChooseFolder(const std::string& title, const std::string& start) override;
  std::optional<Rgb> ChooseColour(Rgb initial) override;
  std::optional<Font> ChooseFont(const Font& initial) override;
  void SetClipboardText(const std::string& utf8) override { clipboard = utf8; }
  std::string ClipboardText() override { return clipboard; }
  void Beep() override { ++beeps; }
  bool OpenPath(const std::string& path) override;
  bool OpenUrl(const std::string& url) override;
  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override;
  void SetBusyCursor(bool busy) override { busyDepth += busy ? 1 : -1; }
  void ProcessEvents() override {}
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
