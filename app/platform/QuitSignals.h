#pragma once

#include <QObject>

class QSocketNotifier;

namespace tidra {

// Turns SIGTERM (the session ending, `kill`), SIGINT (Ctrl+C in a terminal) and SIGHUP (the
// terminal that started us closing, unless it was ignored from the start) into an orderly quit: the handler only writes a byte to a pipe, and the event loop reads it and
// emits quitRequested(), so a removal under way is finished and recorded instead of cut off.
// One instance per process, made on the GUI thread before the event loop runs; destroying it
// gives the signals back their default action.
class QuitSignals : public QObject {
  Q_OBJECT

public:
  explicit QuitSignals(QObject* parent = nullptr);
  ~QuitSignals() override;

signals:
  // Once per signal received.
  void quitRequested(int signal);

private:
  void readSignal();

  QSocketNotifier* notifier = nullptr;
  bool handlesHangup = false;
};

}  // namespace tidra
