#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace tidra::OpenFailureAlert {

// What the person reads when nothing opened `url`: a folder Show in Folder fell back to, or a
// web address such as Send Feedback's. The address is in the message, so it can still be
// copied and opened by hand.
QString title(const QUrl& url);
QString message(const QUrl& url);

// A sheet over `parent`'s window (or a window of its own without one), with OK; it deletes
// itself when closed.
QWidget* show(const QUrl& url, QWidget* parent);

}  // namespace tidra::OpenFailureAlert
