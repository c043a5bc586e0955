// The Borders editor's logic: the sorted check list of Borders, its
// commands, and saving, opening and applying them. The dialog
// (output/borders_dialog.h) only shows the list and forwards the user's acts.
//
// Terms and file names are as the engine keeps them (Windows-1252 terms,
// UTF-8 paths).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/main_window_port.h"

namespace quilor::ui {

struct BorderItem {
  std::string text;      // a dictionary key
  bool checked = false;  // filters the text after it
};

class BordersEditor {
 public:
  static constexpr size_t kMaxTyped = 47;

  // main may be null (no window: nothing is re-run).
  explicit BordersEditor(MainWindowPort* main);

  // Refills the list from Borders.list; clears the modified flag.
  void Reload();
  const std::vector<BorderItem>& Items() const { return items_; }
  int Selected() const { return selected_; }
  void Select(int index) { selected_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1; }
  bool Modified() const { return modified_; }
  // Apply would act: the list changed, or the display switch differs from
  // the one last applied (Cancel keeps the switch, which is stored at once).
  bool ApplyWouldAct() const { return modified_ || display_ != appliedDisplay_; }
  bool DisplayInText() const { return display_; }
  // "Borders" and, with a file, " : " and its name.
  std::string Caption() const;
  // The current file's full path ("" when none).
  std::string CurrentPath() const;

  // The commands; false where the dialog beeps.
  bool Add(const std::string& typed);
  bool Delete();
  void IncludeAll();
  void ExcludeAll();
  void SetChecked(int index, bool checked);
  void SetDisplayInText(bool on);
  // Save: with a current file, writes it; else the caller must ask a name (SaveAs).
  bool NeedsName() const;
  bool Save();
  // Save as path (in the Borders folder only); the name goes to the options after success.
  bool SaveAs(const std::string& path);
  // Asks the user for a file name ("" when cancelled).
  using NameChooser = std::function<std::string()>;
  // Save, or Save as with a chosen name when there is no current file.
  bool SaveWithName(const NameChooser& chooseName);
  // The Apply button: saves when modified (a failed or cancelled save stops), then applies.
  bool SaveAndApply(const NameChooser& chooseName);
  // Before New and Open: when modified, asks whether to save; false when
  // the user said Yes and the save failed.
  bool AskToSave(const NameChooser& chooseName);
  // The menu commands: nothing while printing, the save question first.
  bool New(const NameChooser& chooseName);
  bool Open(const NameChooser& chooseFile, const NameChooser& chooseName);
  // New: no file, no Borders, then applied.
  void New();
  // Open path (in the Borders folder only); Borders.list changes only when it was read.
  bool Open(const std::string& path);
  void Cancel();
  // Apply: rebuilds the index and re-runs the analysis when the Borders or the
  // display switch changed and a text is loaded. True when a re-run was asked.
  bool Apply();

  // The global flag set by saving and opening, cleared by applying.
  static bool BordersChanged;

 private:
  void BuildBorderList() const;
  int Find(const std::string& key) const;
  bool InBordersFolder(const std::string& path) const;

  MainWindowPort* main_;
  std::vector<BorderItem> items_;
  int selected_ = -1;
  bool modified_ = false;
  bool display_ = false;
  bool appliedDisplay_ = false;
};

}  // namespace quilor::ui
