#include "ui/key_dispatcher.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include <set>

#include "ui/guard.h"
#include "ui/shortcut_codec.h"

namespace yomira {

KeyDispatcher::KeyDispatcher(QWidget* window, ActionCatalogue& catalogue, std::vector<int> lists)
    : QObject(window), window_(window), catalogue_(catalogue), lists_(std::move(lists)) {
  rebuild();
}

void KeyDispatcher::rebuild() {
  // A handler that runs from one of these shortcuts may rebuild them: the old ones are
  // switched off now and go later.
  for (QShortcut* s : shortcuts_) {
    s->setEnabled(false);
    s->deleteLater();
  }
  shortcuts_.clear();
  std::set<uint16_t> codes;
  for (const auto& a : catalogue_.all()) {
    if (a->code == 0) continue;
    for (int l : lists_)
      if (l == a->listTag) codes.insert(a->code);
  }
  for (uint16_t code : codes) {
    const QKeyCombination combo = ShortcutToQt(code);
    if (combo.key() == Qt::Key_unknown) continue;
    QList<QKeySequence> keys{QKeySequence(combo)};
    // Enter on the keypad is the same key as Return; Shift+Tab arrives as Backtab.
    // The window system may or may not report the keypad modifier with it: take both.
    if (combo.key() == Qt::Key_Return) {
      keys.append(QKeySequence(QKeyCombination(combo.keyboardModifiers() | Qt::KeypadModifier, Qt::Key_Enter)));
      keys.append(QKeySequence(QKeyCombination(combo.keyboardModifiers(), Qt::Key_Enter)));
    }
    if (combo.key() == Qt::Key_Tab && (combo.keyboardModifiers() & Qt::ShiftModifier))
      keys.append(QKeySequence(QKeyCombination(combo.keyboardModifiers(), Qt::Key_Backtab)));
    auto* s = new QShortcut(window_);
    s->setKeys(keys);
    s->setContext(Qt::WindowShortcut);
    s->setAutoRepeat(true);
    connect(s, &QShortcut::activated, this, [this, code] { dispatch(code, window_); });
    shortcuts_.push_back(s);
  }
}

bool KeyDispatcher::dispatch(uint16_t code, QObject* sender) {
  const Action* a = catalogue_.match(code, lists_);
  if (!a) return false;
  // A handler may rebuild the tool actions, this one included: run a copy.
  const auto handler = a->handler;
  guarded([&] {
    if (handler) handler(sender);
  });
  return true;
}

}  // namespace yomira
