#include "ui/menu_proxy.h"

#include <QActionGroup>

#include "ui/guard.h"
#include "ui/shortcut_codec.h"

namespace yomira {

MenuProxy::MenuProxy(Action& action, QObject* parent, bool followEnabled)
    : QAction(parent), action_(action), followEnabled_(followEnabled) {
  setObjectName(QString::fromStdString(action.name));
  mirror();
  connect(this, &QAction::triggered, this, [this] {
    // Qt has flipped the check already; the handler decides, so show what it left.
    const auto handler = action_.handler;
    guarded([&] {
      if (handler) handler(this);
    });
    // An exclusive group has moved its check as well: the whole group shows the actions.
    if (QActionGroup* group = actionGroup()) {
      for (QAction* member : group->actions())
        if (auto* p = dynamic_cast<MenuProxy*>(member)) p->mirror();
    }
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
  setVisible(action_.visible);
  if (followEnabled_) setEnabled(action_.enabled);
}

}  // namespace yomira
