// The file types of the open and save dialogs: each line of a filter lists
// the files of every mask it names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <QStringList>

#include "tests/platform/temp_folder.h"
#include "ui/desktop_qt.h"

namespace quilor::ui {
namespace {

// The files of the folder that the dialog shows under the filter line: the
// masks between its last parentheses, separated by blanks.
QStringList Listed(const std::string& folder, const std::string& line) {
  const size_t open = line.rfind('('), close = line.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return {};
  const QStringList masks =
      QString::fromStdString(line.substr(open + 1, close - open - 1)).split(' ', Qt::SkipEmptyParts);
  return QDir(QString::fromStdString(folder)).entryList(masks, QDir::Files, QDir::Name);
}

TEST(FileFilters, EveryMaskOfALineListsItsFiles) {
  testing::TempFolder dir;
  for (const char* name : {"a.doc", "b.docx", "c.txt", "d.rtf"}) testing::WriteWholeFile(dir / name, "x");
  const auto lines = QtFileFilters("Word|*.doc;*.docx|Text files (*.txt)|*.txt|All|*.*");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Word (*.doc *.docx)");
  EXPECT_EQ(Listed(dir.path(), lines[0]), (QStringList{"a.doc", "b.docx"}));
  // A caption that already shows its masks does not show them twice.
  EXPECT_EQ(lines[1], "Text files (*.txt)");
  EXPECT_EQ(Listed(dir.path(), lines[1]), QStringList{"c.txt"});
  EXPECT_EQ(Listed(dir.path(), lines[2]).size(), 4);
  // One mask alone, a caption without masks and no filter at all.
  EXPECT_EQ(QtFileFilters("Rich text|*.rtf"), std::vector<std::string>{"Rich text (*.rtf)"});
  EXPECT_EQ(QtFileFilters("Word|*.doc|Orphan"), std::vector<std::string>{"Word (*.doc)"});
  EXPECT_TRUE(QtFileFilters("").empty());
}

// The open dialog shows each column whole: a file's size, kind and date are
// not cut short, and the dialog stands on its screen.
TEST(FileFilters, TheOpenDialogShowsItsColumnsWhole) {
  testing::TempFolder dir;
  testing::WriteWholeFile(dir / "a rather long document name.txt", std::string(12345, 'x'));
  testing::WriteWholeFile(dir / "b.docx", "x");
  QFileDialog dialog(nullptr, QStringLiteral("Open"), QString::fromStdString(dir.path()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setViewMode(QFileDialog::Detail);
  FitFileDialog(dialog);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  ASSERT_NE(view, nullptr);
  for (int i = 0; i < 200 && view->model()->rowCount(view->rootIndex()) < 2; ++i) QTest::qWait(10);
  ASSERT_EQ(view->model()->rowCount(view->rootIndex()), 2);
  QApplication::processEvents();
  for (int column = 1; column < view->header()->count(); ++column) {
    if (view->header()->isSectionHidden(column)) continue;
    EXPECT_GE(view->header()->sectionSize(column), static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column))
        << column;
  }
  const QRect room = dialog.screen()->availableGeometry();
  EXPECT_LE(dialog.width(), room.width());
  EXPECT_LE(dialog.height(), room.height());
}

}  // namespace
}  // namespace quilor::ui
