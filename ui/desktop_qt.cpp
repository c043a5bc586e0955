#include "ui/desktop_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>
#include <QWidget>

#include <algorithm>

#include "ui/dialog_parent_qt.h"
#include "ui/painter_canvas_qt.h"

namespace quilor::ui {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

void FitFileDialog(QFileDialog& dialog) {
  // Room for the four columns of a detailed view, within the screen.
  const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
  const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 700);
  dialog.resize(std::min(900, room.width() - 40), std::min(560, room.height() - 60));
  auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!view) return;
  QHeaderView* header = view->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < header->count(); ++column)
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

std::vector<std::string> QtFileFilters(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    const size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<std::string> out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string caption = parts[i];
    const size_t open = caption.rfind('(');
    if (open != std::string::npos && !caption.empty() && caption.back() == ')') caption.erase(open);
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    std::string masks = parts[i + 1];
    for (char& c : masks)
      if (c == ';') c = ' ';
    out.push_back(caption + " (" + masks + ")");
  }
  return out;
}

std::vector<std::string> QtDesktop::ChooseOpenFiles(FileChoice& choice) {
  const std::vector<std::string> filters = QtFileFilters(choice.filter);
  QStringList qfilters;
  for (const auto& f : filters) qfilters << Q(f);
  HeapDialog<QFileDialog> dialog(DialogParent(), Q(choice.title), Q(choice.folder));
  dialog->setNameFilters(qfilters);
  if (choice.filterIndex >= 1 && choice.filterIndex <= qfilters.size())
    dialog->selectNameFilter(qfilters[choice.filterIndex - 1]);
  dialog->setFileMode(choice.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  FitFileDialog(*dialog);
  if (!dialog.Run()) return {};
  const int index = static_cast<int>(qfilters.indexOf(dialog->selectedNameFilter()));
  if (index >= 0) choice.filterIndex = index + 1;
  std::vector<std::string> files;
  for (const QString& f : dialog->selectedFiles()) files.push_back(f.toStdString());
  return files;
}

std::string QtDesktop::ChooseSaveFile(FileChoice& choice) {
  const std::vector<std::string> filters = QtFileFilters(choice.filter);
  QStringList qfilters;
  for (const auto& f : filters) qfilters << Q(f);
  std::string start = choice.folder;
  if (!choice.fileName.empty()) start = start.empty() ? choice.fileName : start + "/" + choice.fileName;
  HeapDialog<QFileDialog> dialog(DialogParent(), Q(choice.title), Q(start));
  dialog->setNameFilters(qfilters);
  if (choice.filterIndex >= 1 && choice.filterIndex <= qfilters.size())
    dialog->selectNameFilter(qfilters[choice.filterIndex - 1]);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  FitFileDialog(*dialog);
  if (!dialog.Run() || dialog->selectedFiles().isEmpty()) return {};
  const int index = static_cast<int>(qfilters.indexOf(dialog->selectedNameFilter()));
  if (index >= 0) choice.filterIndex = index + 1;
  return dialog->selectedFiles().front().toStdString();
}

std::string QtDesktop::ChooseFolder(const std::string& title, const std::string& start) {
  HeapDialog<QFileDialog> dialog(DialogParent(), Q(title), Q(start));
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  FitFileDialog(*dialog);
  if (!dialog.Run() || dialog->selectedFiles().isEmpty()) return {};
  return dialog->selectedFiles().front().toStdString();
}

std::optional<Rgb> QtDesktop::ChooseColour(Rgb initial) {
  HeapDialog<QColorDialog> dialog(ToQColor(initial), DialogParent());
  if (!dialog.Run() || !dialog->selectedColor().isValid()) return std::nullopt;
  return FromQColor(dialog->selectedColor());
}

QFont DialogFont(const Font& initial) {
  QFont f(Q(initial.name), initial.size);
  f.setBold(initial.bold);
  f.setItalic(initial.italic);
  f.setUnderline(initial.underline);
  // The font dialog selects the style the font names; without a name it may
  // open on any style of the family (an oblique one), which the chosen font
  // then keeps. The style named is the plainest of the family with the
  // font's weight and slant.
  QString best;
  for (const QString& style : QFontDatabase::styles(f.family())) {
    if (QFontDatabase::italic(f.family(), style) != initial.italic ||
        QFontDatabase::bold(f.family(), style) != initial.bold)
      continue;
    const bool plain =
        style.compare("Regular", Qt::CaseInsensitive) == 0 || style.compare("Book", Qt::CaseInsensitive) == 0 ||
        style.compare("Normal", Qt::CaseInsensitive) == 0 || style.compare("Roman", Qt::CaseInsensitive) == 0;
    if (best.isEmpty() || plain || (style.size() < best.size() && !best.contains("Regular") && !best.contains("Book")))
      best = style;
    if (plain) break;
  }
  if (!best.isEmpty()) f.setStyleName(best);
  return f;
}

std::optional<Font> QtDesktop::ChooseFont(const Font& initial) {
  const QFont f = DialogFont(initial);
  HeapDialog<QFontDialog> dialog(f, DialogParent());
  if (!dialog.Run()) return std::nullopt;
  const QFont chosen = dialog->selectedFont();
  Font out = initial;
  out.name = chosen.family().toStdString();
  out.size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.size;
  out.bold = chosen.bold();
  out.italic = chosen.italic();
  out.underline = chosen.underline();
  return out;
}

void QtDesktop::SetClipboardText(const std::string& utf8) { QApplication::clipboard()->setText(Q(utf8)); }

void QtDesktop::SetClipboardImage(const QImage& image) {
  QApplication::clipboard()->clear();
  QApplication::clipboard()->setImage(image);
}
std::string QtDesktop::ClipboardText() { return QApplication::clipboard()->text().toStdString(); }
void QtDesktop::Beep() { QApplication::beep(); }

void QtDesktop::ProcessMessages() { QCoreApplication::processEvents(); }

void QtDesktop::SetCursor(int cursor) {
  // One level of override: the hourglass is set once and taken back once.
  const bool hourglass = cursor == kCursorHourglass;
  if (hourglass == hourglass_) return;
  hourglass_ = hourglass;
  if (hourglass) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void InstallQtDesktop() {
  static QtDesktop desktop;
  SetDesktop(&desktop);
  SetDesktopServices(&desktop);
}

}  // namespace quilor::ui
