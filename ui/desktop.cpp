#include "ui/desktop.h"

namespace quilor::ui {

namespace {

ScriptedDesktop& DefaultDesktop() {
  static ScriptedDesktop desktop;
  return desktop;
}

Desktop* installed = nullptr;

template <typename T>
T Next(std::deque<T>& answers, T fallback) {
  if (answers.empty()) return fallback;
  T answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

Desktop& CurrentDesktop() { return installed != nullptr ? *installed : DefaultDesktop(); }

void SetDesktop(Desktop* desktop) { installed = desktop; }

std::vector<std::string> ScriptedDesktop::ChooseOpenFiles(FileChoice& choice) {
  choices.push_back(choice);
  return Next(openAnswers, {});
}

std::string ScriptedDesktop::ChooseSaveFile(FileChoice& choice) {
  choices.push_back(choice);
  return Next(saveAnswers, std::string());
}

std::string ScriptedDesktop::ChooseFolder(const std::string& title, const std::string& start) {
  FileChoice choice;
  choice.title = title;
  choice.folder = start;
  choices.push_back(choice);
  return Next(folderAnswers, std::string());
}

std::optional<Rgb> ScriptedDesktop::ChooseColour(Rgb) { return Next(colourAnswers, std::optional<Rgb>()); }

std::optional<Font> ScriptedDesktop::ChooseFont(const Font&) { return Next(fontAnswers, std::optional<Font>()); }

}  // namespace quilor::ui
