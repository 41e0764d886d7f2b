#include "platform/QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tidra {

namespace {

// [0] is read by the event loop, [1] written by the handler.
int signalPipe[2] = {-1, -1};

void onSignal(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // Async-signal-safe; a full pipe only loses a repeat of a signal already on its way.
  [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
  errno = saved;
}

// SIGHUP comes when the terminal that started us closes; `nohup` sets it ignored beforehand,
// and that choice stands.
bool hangupIgnored() {
  struct sigaction current {};
  return ::sigaction(SIGHUP, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void handle(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) return;
  notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignal);
  handle(SIGTERM, onSignal);
  handle(SIGINT, onSignal);
  handlesHangup = !hangupIgnored();
  if (handlesHangup) handle(SIGHUP, onSignal);
}

QuitSignals::~QuitSignals() {
  if (!notifier) return;
  handle(SIGTERM, SIG_DFL);
  handle(SIGINT, SIG_DFL);
  if (handlesHangup) handle(SIGHUP, SIG_DFL);
  ::close(signalPipe[0]);
  ::close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void QuitSignals::readSignal() {
  unsigned char byte = 0;
  while (::read(signalPipe[0], &byte, 1) == 1) emit quitRequested(byte);
}

}  // namespace tidra
