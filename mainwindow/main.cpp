// The program: the application and its main window.
#include <QApplication>
#include <QMainWindow>

#include <cstdio>

#include "platform/fatal.h"
#include "platform/text_encoding.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quilor");
  try {
    QMainWindow window;
    window.setWindowTitle("Quilor");
    window.show();
    return QApplication::exec();
  } catch (const quilor::FatalError& e) {
    std::fprintf(stderr, "%s\n", quilor::Cp1252ToUtf8(e.what()).c_str());
    return e.ExitCode();
  }
}
