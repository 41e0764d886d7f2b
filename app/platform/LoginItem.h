#pragma once

#include <QString>

#include <optional>

namespace tidra {

// Whether the application starts when the user logs in.
class LoginItem {
public:
  virtual ~LoginItem() = default;
  // Read afresh from where the desktop looks, so it tells the real state.
  virtual bool isEnabled() const = 0;
  // Nothing when done, else what went wrong, in a short sentence.
  virtual std::optional<QString> setEnabled(bool on) = 0;
};

// An XDG autostart entry, by default $XDG_CONFIG_HOME/autostart/tidra.desktop, that starts
// `program` under the launcher entry's name and icon. Turning it off removes the file; an entry
// the desktop would skip (hidden or switched off) counts as off.
class LiveLoginItem final : public LoginItem {
public:
  explicit LiveLoginItem(const QString& file = defaultFile(), const QString& program = defaultProgram());

  bool isEnabled() const override;
  std::optional<QString> setEnabled(bool on) override;

  static QString defaultFile();
  // The program of the installed launcher entry (found in the XDG data folders), else the
  // running program's absolute path, as when Tidra runs from its build folder.
  static QString defaultProgram();
  // The program `installedEntry` starts when that is an absolute path to an executable file;
  // else `running`. An empty `installedEntry` means none is installed.
  static QString launchProgram(const QString& installedEntry, const QString& running);
  // The entry's text, with the program quoted and escaped so that any path reads back whole.
  static QString entryText(const QString& program);

private:
  QString file;
  QString program;
};

// Remembers the state in memory; fails with `failure` when it is set.
class FakeLoginItem final : public LoginItem {
public:
  bool isEnabled() const override { return enabled; }
  std::optional<QString> setEnabled(bool on) override;

  bool enabled = false;
  std::optional<QString> failure;
  int calls = 0;
};

}  // namespace tidra
