#include "views/OpenFailureAlert.h"

#include "views/design/Button.h"
#include "views/design/Sheet.h"
#include "views/design/StyledLabel.h"

#include <QFile>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra::OpenFailureAlert {

QString title(const QUrl& url) {
  return url.isLocalFile() ? QStringLiteral("Could not show the folder") : QStringLiteral("Could not open the page");
}

QString message(const QUrl& url) {
  if (url.isLocalFile())
    return QStringLiteral("No file manager opened %1. Set one up to open folders, or open it yourself.")
        .arg(QFile::decodeName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())));
  return QStringLiteral("No web browser opened %1. Set one up to open web addresses, or visit it yourself.")
      .arg(url.toDisplayString());
}

QWidget* show(const QUrl& url, QWidget* parent) {
  auto* alert = new Sheet(parent);
  alert->setObjectName(QStringLiteral("openFailure"));
  alert->setWindowTitle(title(url));
  alert->body()->addWidget(
      new StyledLabel(title(url), Theme::TextStyle::title2, Theme::Role::label, QFont::Bold, alert));
  auto* text = new StyledLabel(message(url), Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, alert);
  text->setObjectName(QStringLiteral("openFailureText"));
  text->setTextFormat(Qt::PlainText);
  text->setWordWrap(true);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  alert->body()->addWidget(text);
  auto* ok = new Button(Button::Look::primary, QStringLiteral("OK"), alert);
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  alert->body()->addLayout(buttons);
  QObject::connect(ok, &QPushButton::clicked, alert, &QDialog::accept);
  QObject::connect(alert, &QDialog::finished, alert, &QObject::deleteLater);
  alert->open();
  return alert;
}

}  // namespace tidra::OpenFailureAlert
