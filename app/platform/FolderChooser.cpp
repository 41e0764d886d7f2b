#include "platform/FolderChooser.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QTreeView>

namespace tidra {

void LiveFolderChooser::chooseFolders(const Request& request, std::function<void(QStringList)> chosen) {
  auto* dialog = new QFileDialog(QApplication::activeWindow(), request.message, request.startFolder);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  // The platform dialogs pick one folder only; ours lets the list views select several.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setLabelText(QFileDialog::Accept, request.prompt);
  for (auto* view : dialog->findChildren<QAbstractItemView*>())
    if (qobject_cast<QListView*>(view) || qobject_cast<QTreeView*>(view))
      view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  QObject::connect(dialog, &QFileDialog::accepted, dialog, [dialog, chosen = std::move(chosen)] {
    const QStringList folders = dialog->selectedFiles();
    if (!folders.isEmpty()) chosen(folders);
  });
  dialog->open();
}

}  // namespace tidra
