#pragma once

#include <QString>
#include <QUrl>

namespace tidra {

struct AppInfo;

// The web addresses the application opens.
namespace Website {

// Used when the app's information names no usable address.
QUrl builtIn();

// The app's web site: its information's address when that is an absolute http(s) address,
// else the built-in one, so a bad entry never leaves the app without a site.
QUrl base(const AppInfo& info);

// base/feedback?source=app&app=<version>&os=linux&osversion=<system version>; every item is
// always there, the app's version empty when the information has none.
QUrl feedback(const AppInfo& info, const QString& systemVersion);
QUrl feedback(const AppInfo& info);

// This system's version as major.minor.patch: the distribution's version, else the kernel's
// (rolling distributions have none), padded with zeros.
QString systemVersion(const QString& productVersion, const QString& kernelVersion);
QString systemVersion();

}  // namespace Website

}  // namespace tidra
