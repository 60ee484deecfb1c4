#include "tools/windows_gallery/gallery.h"

#include <QWidget>

#include <algorithm>
#include <map>

namespace yomira::gallery {

namespace {

// Static objects of several files register here, so the map is built on first use.
std::map<std::string, std::vector<Entry>>& Groups() {
  static std::map<std::string, std::vector<Entry>> groups;
  return groups;
}

}  // namespace

GalleryEntries::GalleryEntries(std::string group, std::initializer_list<Entry> entries) {
  auto& list = Groups()[std::move(group)];
  list.insert(list.end(), entries.begin(), entries.end());
}

std::vector<const Entry*> AllEntries() {
  std::vector<const Entry*> out;
  for (const auto& [group, list] : Groups())
    for (const Entry& e : list) out.push_back(&e);
  return out;
}

QWidget* Sheet(int width, int height) {
  auto* sheet = new QWidget;
  sheet->setFixedSize(width, height);
  return sheet;
}

QWidget* Framed(QWidget* control, int margin) {
  QWidget* sheet = Sheet(control->width() + 2 * margin, control->height() + 2 * margin);
  control->setParent(sheet);
  control->move(margin, margin);
  // The sheet holds the focus, so a single control is drawn as it looks unfocused.
  sheet->setFocusPolicy(Qt::StrongFocus);
  sheet->setFocus();
  return sheet;
}

}  // namespace yomira::gallery
