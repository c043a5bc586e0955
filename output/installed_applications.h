// The rows of "Installed applications": the program, its dictionaries and
// Scenario, the sibling programs, the conversion filters with the extensions
// they serve, the spreadsheet and browser programs of the desktop. Copied as
// text, one row a line, cells separated by tabs.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quilor::ui {

struct InstalledRow {
  std::string application;  // Windows-1252
  std::string version;
  std::string information;  // "Unavailable" when empty (and no version)
};

// Asks the desktop which program opens a kind of file or the web: the first
// line a program prints (xdg-mime, xdg-settings), "" when it cannot tell.
using DesktopQuery = std::function<std::string(const std::vector<std::string>& argv)>;
std::string RunDesktopQuery(const std::vector<std::string>& argv);

std::vector<InstalledRow> InstalledApplications(const DesktopQuery& query = RunDesktopQuery);
// The title row and every row, cells joined by TAB, rows ended by CR LF (UTF-8).
std::string InstalledApplicationsText(const std::vector<InstalledRow>& rows);

}  // namespace quilor::ui
