#pragma once

#include "models/Section.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace tidra {

// One Tidra per desktop session: the first run holds a name on the session bus, and a second
// run asks it to show its window (at the section it was given) and then ends. Demo, screenshot
// and --home runs stand apart: they neither hold the name nor hand over.
class SingleInstance : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "app.tidra.Tidra")

public:
  static const QString serviceName;
  static const QString objectPath;

  // Whether a run with these arguments keeps to one instance.
  static bool applies(const QStringList& arguments, bool demo);

  explicit SingleInstance(QDBusConnection bus, QObject* parent = nullptr);

  enum class Claim {
    first,   // this run now holds the name and answers the next ones
    second,  // another run holds it: hand over, then end
    alone,   // no session bus: run without the guarantee rather than not at all
  };
  // Takes the name when it is free; never queues for it.
  Claim claim();

  // Asks the run holding the name to show its window at `section` (the raw text of --section;
  // empty for none). False when it did not answer within `timeoutMs`. Events keep flowing
  // while waiting.
  bool handOver(const QString& section, int timeoutMs = 5000);

signals:
  // Another run asked for the window; `section` is set only for an exact section name.
  void showRequested(std::optional<tidra::Section> section);

public slots:
  Q_SCRIPTABLE void Show(const QString& section);

private:
  QDBusConnection bus;
};

}  // namespace tidra
