#include "output/conversion_filters_logic.h"

#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "import/conversion_dispatch.h"

namespace quilor::ui {

namespace {

constexpr int kMsgCareful = 1372;
constexpr int kMsgLoading = 72;
constexpr int kMsgOk = 680;
constexpr int kMsgDriverFailed = 51;
constexpr int kMsgSettingsNotSaved = 5805;

}  // namespace

bool ConversionFiltersLogic::Enable(int i, bool useLibrary, const std::string& path) {
  switch (FormatOf(i)) {
    case ConverterFormat::kPdf: return EnablePdfFilter(useLibrary, path);
    case ConverterFormat::kOffice: return EnableOfficeFilter(useLibrary, path);
    case ConverterFormat::kOffice2007: return EnableOffice2007Filter(useLibrary, path);
    case ConverterFormat::kPowerPoint2007: return EnablePowerPoint2007Filter(useLibrary, path);
    case ConverterFormat::kOpenDocumentText: return EnableOpenDocumentTextFilter(useLibrary, path);
    case ConverterFormat::kOpenDocumentPresentation: return EnableOpenDocumentPresentationFilter(useLibrary, path);
  }
  return false;
}

ConversionFiltersLogic::ConversionFiltersLogic() {
  ConversionSwitches switches = ReadConversionSwitches();
  switches.xpsConversion = false;  // no XPS converter exists
  WriteConversionSwitches(switches);
  const bool inactive[kFilterCount] = {!switches.pdfConversion, !switches.officeFilter, switches.docxFilterOff,
                                       switches.pptxFilterOff,  switches.odtFilterOff,  switches.odpFilterOff};
  for (int i = 0; i < kFilterCount; ++i) {
    entries_[i].inactive = inactive[i];
    entries_[i].userLibrary = Converters.libraries[i];
    entries_[i].chosen = Converters.libraries[i];
    if (const DocumentFilter* filter = Converter(FormatOf(i))) {
      entries_[i].library = filter->LibraryPath();
      entries_[i].classId = filter->ClassId();
    }
  }
  status_ = GetMessageText(kMsgCareful);
}

std::array<std::string, 3> ConversionFiltersLogic::Grid(int i) const {
  std::array<std::string, 3> rows{"?", "?", "?"};
  if (const DocumentFilter* filter = Converter(FormatOf(i))) {
    rows[0] = FileNamePart(filter->LibraryPath().c_str());
    rows[1] = filter->LibraryPath();
    rows[2] = filter->ClassId();
  }
  return rows;
}

bool ConversionFiltersLogic::CanActivate(int i) const {
  const DocumentFilter* filter = Converter(FormatOf(i));
  return filter != nullptr && filter->Available() && !filter->LibraryPath().empty();
}

bool ConversionFiltersLogic::ChooseLibrary(int i, const std::string& path) {
  // A library that cannot be used is reported, and the converter in use
  // before stays, switched on or off as it was: nothing the user did not
  // change changes.
  const bool wasChanged = Converter(FormatOf(i)) != nullptr && Converter(FormatOf(i))->changedByUser;
  Enable(i, true, path);
  const DocumentFilter* now = Converter(FormatOf(i));
  const bool loaded = now != nullptr && now->LibraryPath() == path;
  if (!loaded) {
    if (!entries_[i].chosen.empty()) Enable(i, true, entries_[i].chosen);
    if (DocumentFilter* filter = Converter(FormatOf(i))) filter->changedByUser = wasChanged;
    status_ = GetMessageText(kMsgDriverFailed);
    return false;
  }
  entries_[i].useDefault = false;
  entries_[i].chosen = path;
  entries_[i].inactive = false;
  changed_ = true;
  if (DocumentFilter* filter = Converter(FormatOf(i))) filter->changedByUser = true;
  status_ = GetMessageText(kMsgLoading) + " " + GetMessageText(kMsgOk);
  return true;
}

void ConversionFiltersLogic::RestoreDefault(int i) {
  const bool loaded = Enable(i, false, std::string());
  entries_[i].inactive = !loaded;
  entries_[i].useDefault = true;
  entries_[i].chosen.clear();
  changed_ = true;
  if (DocumentFilter* filter = Converter(FormatOf(i))) filter->changedByUser = true;
  status_.clear();
}

bool ConversionFiltersLogic::Ok() {
  ConversionSwitches switches = ReadConversionSwitches();
  // PDF conversion goes on only with a PDF converter that loaded.
  switches.pdfConversion = !entries_[0].inactive && CanActivate(0);
  switches.officeFilter = !entries_[1].inactive;
  switches.docxFilterOff = entries_[2].inactive;
  switches.pptxFilterOff = entries_[3].inactive;
  switches.odtFilterOff = entries_[4].inactive;
  switches.odpFilterOff = entries_[5].inactive;
  WriteConversionSwitches(switches);
  bool written = true;
  if (changed_) {
    for (int i = 0; i < kFilterCount; ++i) {
      DocumentFilter* filter = Converter(FormatOf(i));
      if (filter != nullptr && filter->changedByUser) {
        written &= WriteConverterChoice(FormatOf(i), entries_[i].useDefault ? std::string() : entries_[i].chosen);
        filter->changedByUser = false;
      } else if (filter == nullptr && !Converters.libraries[i].empty()) {
        written &= WriteConverterChoice(FormatOf(i), std::string());
      }
    }
  }
  changed_ = false;
  if (!written) ShowError(GetMessageText(kMsgSettingsNotSaved));
  return written;
}

void ConversionFiltersLogic::Cancel() {
  if (changed_) {
    for (int i = 0; i < kFilterCount; ++i) {
      DocumentFilter* filter = Converter(FormatOf(i));
      const Entry& entry = entries_[i];
      const bool differs = filter == nullptr
                               ? !entry.library.empty()
                               : filter->LibraryPath() != entry.library || filter->ClassId() != entry.classId;
      if (differs) Enable(i, !entry.userLibrary.empty(), entry.userLibrary);
      if (DocumentFilter* again = Converter(FormatOf(i))) again->changedByUser = false;
    }
  }
  changed_ = false;
}

std::string ConversionFiltersLogic::GridText(int i) const {
  const std::array<std::string, 3> rows = Grid(i);
  return "DLL\t" + rows[0] + "\r\nPath\t" + rows[1] + "\r\nPersistClass\t" + rows[2] + "\r\n";
}

}  // namespace quilor::ui
