#include "Website.h"

#include "AppInfo.h"

#include <QSysInfo>
#include <QUrlQuery>
#include <QVersionNumber>

namespace tidra::Website {

namespace {

bool usable(const QUrl& url) {
  return url.isValid() && (url.scheme() == QStringLiteral("https") || url.scheme() == QStringLiteral("http")) &&
         !url.host().isEmpty();
}

QString threeParts(const QVersionNumber& version) {
  return QStringLiteral("%1.%2.%3").arg(version.majorVersion()).arg(version.minorVersion()).arg(version.microVersion());
}

}  // namespace

QUrl builtIn() { return QUrl(QStringLiteral("https://tidra.app")); }

QUrl base(const AppInfo& info) {
  const QUrl url(info.website, QUrl::StrictMode);
  return usable(url) ? url : builtIn();
}

QUrl feedback(const AppInfo& info, const QString& systemVersion) {
  QUrl url = base(info);
  QString path = url.path();
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  url.setPath(path + QStringLiteral("feedback"));
  QUrlQuery query(url);
  query.addQueryItem(QStringLiteral("source"), QStringLiteral("app"));
  query.addQueryItem(QStringLiteral("app"), info.version);
  query.addQueryItem(QStringLiteral("os"), QStringLiteral("linux"));
  query.addQueryItem(QStringLiteral("osversion"), systemVersion);
  url.setQuery(query);
  return url;
}

QUrl feedback(const AppInfo& info) { return feedback(info, systemVersion()); }

QString systemVersion(const QString& productVersion, const QString& kernelVersion) {
  const auto product = QVersionNumber::fromString(productVersion);
  return threeParts(product.isNull() ? QVersionNumber::fromString(kernelVersion) : product);
}

QString systemVersion() { return systemVersion(QSysInfo::productVersion(), QSysInfo::kernelVersion()); }

}  // namespace tidra::Website
