// The one remembered place of the file dialogs, the settings dialog and the tools dialog.
#include <QWidget>

#include "shell/main_window.h"
#include "windows/controls/window_util.h"

namespace yomira {
// DialogRect keeps left, top, right and bottom in x, y, width and height.
void TForm1::SaveDialogRect(QWidget* dialog) {
  if (!dialog) return;
  const QRect f = dialog->frameGeometry();
  DialogRect = QRect(f.left(), f.top(), f.left() + f.width(), f.top() + f.height());
}

void TForm1::RestoreDialogRect(QWidget* dialog) {
  // One flag for every dialog of the window.
  if (!dialog || session_.dialogRectRestored) return;
  session_.dialogRectRestored = true;
  const QRect frame = dialog->frameGeometry();
  const int left = DialogRect.x(), top = DialogRect.y();
  const int width = DialogRect.width() - left, height = DialogRect.height() - top;
  // Before any rectangle was saved, right and bottom are 0: then only the place is taken.
  QRect target(left, top, frame.width(), frame.height());
  if (width > 0 && height > 0) target.setSize(QSize(width, height));
  target = ClampToVisibleScreen(target);
  // The frame is what was saved: the client is the frame less its decoration.
  const QSize decoration = frame.size() - dialog->size();
  dialog->resize(target.size() - decoration);
  dialog->move(target.topLeft());
}

}  // namespace yomira
