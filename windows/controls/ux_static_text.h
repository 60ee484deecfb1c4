// A focusable label that carries a full file path behind whatever caption its holder shows
// (the settings dialog's links to the background picture and the page-turn sound). The
// holder colours it on entered()/exited() and opens a picker on clicked() or a key.
#pragma once

#include <QLabel>
#include <QKeyEvent>
#include <QString>



namespace yomira {

class UxStaticText : public QLabel {
  Q_OBJECT

 public:
  // Plain text (a caption that looks like HTML is shown as written), Tab and click focus.
  explicit UxStaticText(QWidget* parent = nullptr);

  const QString& filePath() const { return filePath_; }
  // Stores path when it differs from the stored one; true when it stored.
  bool setFilePath(const QString& path);

 signals:
  void entered();
  void exited();
  // Every key that carries text, before the label's own handling; set swallow to keep the
  // key from the window (the dialog's default button, Esc).
  void keyPressed(QKeyEvent* event, bool& swallow);
  // A left press released inside the label.
  void clicked();

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QString filePath_;
  bool leftPressed_ = false;
};

}  // namespace yomira
