// The entries of windows_gallery: each draws one window or control in one state. An entries
// file registers its entries with a static GalleryEntries object:
//
//   static const yomira::gallery::GalleryEntries kEntries("controls", {
//       {"spin-edit", [] { return ...; }},
//       {"controls", BuildControlsPage, ControlsPageState},
//   });
//
// and CMakeLists.txt names the file with gallery_entries(). --list and --out walk the groups
// in name order and each group's entries in the order given, whatever the link order.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QWidget;

namespace yomira::gallery {

struct Entry {
  std::string name;  // lower case with hyphens; unique over all groups
  // Builds the top-level widget (owned by the caller) in the entry's state. The gallery
  // shows it before drawing, so show-time behaviour runs.
  std::function<QWidget*()> build;
  // Live pages: the state lines printed when the window is closed (UTF-8, one a line).
  std::function<QStringList(QWidget*)> state;
};

class GalleryEntries {
 public:
  GalleryEntries(std::string group, std::initializer_list<Entry> entries);
};

// Every registered entry in registry order.
std::vector<const Entry*> AllEntries();

// A plain top-level widget of the given client size holding control at (x, y); the
// control keeps its own geometry. For pictures of single controls.
QWidget* Sheet(int width, int height);
QWidget* Framed(QWidget* control, int margin = 8);

}  // namespace yomira::gallery
