// The text file viewer and editor for photometric files: read-only at first,
// with edit mode, undo of all changes (reload) and save.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kandelo {

class TTextViewer : public QDialog {
  Q_OBJECT
 public:
  explicit TTextViewer(const std::string& fileName, QWidget* parent = nullptr);

  bool Loaded() const { return loaded_; }
  // True once "save changes" wrote the file.
  bool Saved() const { return saved_; }
  QPlainTextEdit* Editor() const { return edit_; }
  QLabel* StatusLabel() const { return status_; }
  QPushButton* EditBtn() const { return editBtn_; }
  QPushButton* ReadOnlyBtn() const { return roBtn_; }
  QPushButton* UndoBtn() const { return undoBtn_; }
  QPushButton* SaveBtn() const { return saveBtn_; }
  QPushButton* BackBtn() const { return backBtn_; }

  void SetEditMode(bool edit);
  void UndoChangesClick();
  void SaveChangesClick();
  void UpdatePosition();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  bool Load();

  std::string file_;
  bool utf8_ = false;   // the file's text was UTF-8 (written back as such)
  bool crlf_ = false;   // its lines ended with CR LF
  bool loaded_ = false;
  bool saved_ = false;
  QPlainTextEdit* edit_;
  QLabel* status_;
  QPushButton* editBtn_;
  QPushButton* roBtn_;
  QPushButton* undoBtn_;
  QPushButton* saveBtn_;
  QPushButton* backBtn_;
};

// Shows the file; true when "save changes" wrote it while the window was open
// (the caller then reloads the luminaire).
bool ViewTextFile(const std::string& fileName, QWidget* parent = nullptr);

}  // namespace kandelo
