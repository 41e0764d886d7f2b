#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setObjectName("main");
  window.setWindowTitle("Tidra");
  window.resize(980, 660);
  window.show();
  return application.exec();
}
