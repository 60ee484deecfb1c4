// The settings dialog's colour combos: five non-editable boxes over one shared list of
// favourite colours, each with its own selection; an entry is a swatch and its name, the
// entry last chosen or shown (the box's tag) in bold.
#pragma once

#include <QComboBox>

namespace yomira {

class FavoriteColorList;

class ColourCombo : public QComboBox {
  Q_OBJECT

 public:
  static constexpr int kClosedWidth = 41;
  static constexpr int kEntryHeight = 15;
  static constexpr int kListWidth = 160;
  // Where an entry's name starts: the closed box's edit field less one pixel.
  static constexpr int kSwatchWidth = 22;

  explicit ColourCombo(QWidget* parent = nullptr);

  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }

  // Draws entry index in rect (also the closed box's face).
  void drawEntry(QPainter& p, QRect rect, int index, bool selected) const;

  void showPopup() override;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  int tag_ = -1;
};

// Fills every box's shared model from list, keeping each box's selection by index.
void FillColourModel(QComboBox& first, const FavoriteColorList& list);

}  // namespace yomira
