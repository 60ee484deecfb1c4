#include "shell/actions/menu_proxy.h"

#include "shell/guard.h"
#include "shell/shortcut_codec.h"

namespace yomira {

MenuProxy::MenuProxy(Action& action, QObject* parent) : QAction(parent), action_(action) {
  setObjectName(QString::fromStdString(action.name));
  mirror();
  connect(this, &QAction::triggered, this, [this] {
    // Qt has flipped the check already; the handler decides, so show what it left.
    const auto handler = action_.handler;
    guarded([&] {
      if (handler) handler(this);
    });
    mirror();
  });
}

void MenuProxy::setCaptionOverride(const QString& caption) {
  captionOverride_ = caption;
  mirror();
}

void MenuProxy::mirror() {
  QString text = captionOverride_.isEmpty() ? QString::fromStdString(action_.caption) : captionOverride_;
  const QString keys = ShortcutText(action_.code);
  if (!keys.isEmpty()) text += QLatin1Char('\t') + keys;
  setText(text);
  setCheckable(action_.checkable);
  setChecked(action_.checked);
}

}  // namespace yomira
