#include "views/duplicates/PreviewWindow.h"

#include "platform/Thumbnailer.h"
#include "runtime/Flow.h"
#include "views/Formats.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tidra::duplicates {

PreviewWindow::PreviewWindow(const std::string& path, const QImage& standIn, std::shared_ptr<Thumbnailer> thumbnailer,
                             QWidget* parent)
    : Sheet(parent), file(path) {
  setObjectName(QStringLiteral("previewWindow"));
  resize(720, 560);
  auto* title = new StyledLabel(Formats::fileName(path.substr(path.rfind('/') + 1)), Theme::TextStyle::headline);
  title->setObjectName(QStringLiteral("previewTitle"));
  body()->addWidget(title);
  view = new QLabel;
  view->setObjectName(QStringLiteral("previewPicture"));
  view->setAlignment(Qt::AlignCenter);
  view->setMinimumSize(200, 150);
  view->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  body()->addWidget(view, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* done = new Button(Button::Look::secondary, QStringLiteral("Close"), this);
  done->setObjectName(QStringLiteral("closePreview"));
  connect(done, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(done);
  body()->addLayout(buttons);
  showPicture(standIn);
  runThen(Pool::user, this, [thumbnailer, path] { return thumbnailer->thumbnail(path, pictureSize); },
          [this, thumbnailer, path](std::optional<QImage> decoded) {
            // Icons come from the icon theme, which only answers on the GUI thread.
            showPicture(decoded ? *decoded : thumbnailer->fileIcon(path, QSize(256, 256)));
          });
}

void PreviewWindow::showPicture(const QImage& image) {
  shownPicture = image;
  if (image.isNull()) return;
  const QSize room = view->size().boundedTo(image.size());
  view->setPixmap(QPixmap::fromImage(image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  Sheet::resizeEvent(event);
  showPicture(shownPicture);
}

}  // namespace tidra::duplicates
