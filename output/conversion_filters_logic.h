// The logic of "External Conversion Filters Status": the six converters with
// their library, path and class, switched on or off, given another library
// or their built-in one, and the choices stored on OK or undone on Cancel.
#pragma once

#include <array>
#include <string>

#include "import/document_filter.h"
#include "generated/message_names.h"

namespace quilor::ui {

class ConversionFiltersLogic {
 public:
  static constexpr int kFilterCount = 6;
  // The list text of each filter (message numbers), in list order.
  static constexpr int kNames[kFilterCount] = {msg::kPdfIFilter,       msg::kOffice97To2003,
                                               msg::kOffice2007,       msg::kPowerpoint2007,
                                               msg::kOpenDocumentText, msg::kOpenDocumentPresentation};

  ConversionFiltersLogic();

  // The three grid rows of filter i: library name, path, class ("?" when the converter does not exist).
  std::array<std::string, 3> Grid(int i) const;
  // The activation check box: enabled when a library is loaded, checked when active.
  bool CanActivate(int i) const;
  bool Active(int i) const { return !entries_[i].inactive; }
  void SetActive(int i, bool active) { entries_[i].inactive = !active; }
  // Loads another library for filter i; false (message 51 in the status) when it cannot be used.
  bool ChooseLibrary(int i, const std::string& path);
  // Back to the built-in converter.
  void RestoreDefault(int i);
  // OK: the switches and, when a library changed, the settings; false when a
  // setting could not be written (the message says so).
  bool Ok();
  // Cancel: every converter the dialog changed takes its library back.
  void Cancel();
  // The grid of filter i as text: "DLL\t<name>", "Path\t<path>", "PersistClass\t<class>".
  std::string GridText(int i) const;
  const std::string& Status() const { return status_; }

 private:
  struct Entry {
    bool useDefault = false;
    bool inactive = false;
    std::string library;  // in use when the dialog opened
    std::string classId;
    std::string userLibrary;  // the user's library when the dialog opened ("" the built-in)
    std::string chosen;       // the user's library chosen in the dialog ("" none)
  };
  static ConverterFormat FormatOf(int i) { return static_cast<ConverterFormat>(i); }
  static bool Enable(int i, bool useLibrary, const std::string& path);

  std::array<Entry, kFilterCount> entries_;
  bool changed_ = false;
  std::string status_;
};

}  // namespace quilor::ui
