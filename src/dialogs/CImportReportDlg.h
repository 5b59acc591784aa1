// After a GEDCOM import: what had to be made up or changed so that the file's
// people fit the genealogy (unique names, full dates, children born after
// their fathers), one row per person and field, the lines of the file that
// were skipped and the facts the book has no place for (a birth place, a
// baptism). The import never changes anything silently; this is
// where the user sees it, and may keep it as a text file.
#pragma once

#include "formats/gedcom/Gedcom.h"
#include "platform/CDialog.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

class CImportReportDlg : public CDialog {
  Q_OBJECT
public:
  // `report` outlives the dialog.
  explicit CImportReportDlg(const gedcom::GedcomImportReport& report, QWidget* parent = nullptr);
  ~CImportReportDlg() override;

  // Asks for a file name and writes the report there as text.
  void OnSaveReport();
  // The GEDCOM file the report is about, which the report never replaces.
  void SetSourceFile(const QString& fileName) { m_sourceFile = fileName; }

  QLabel* Summary() const { return m_summary; }
  QTableView* ChangeView() const { return m_changes; }
  QPlainTextEdit* NotesView() const { return m_notes; }
  QPlainTextEdit* DroppedView() const { return m_dropped; }

  // The field names of the report as the dialog shows them.
  static QString FieldText(const std::string& field);
  // A value of the file as the report shows it: control characters escaped,
  // a long value shortened with its length (gedcom::ShowValue).
  static QString ValueText(const std::string& value);
  // A note of the import in the user's language.
  static QString NoteText(const gedcom::GedcomNote& note);
  // A fact of the file the book has no place for, with where it stood.
  static QString DroppedText(const gedcom::GedcomDropped& dropped);

private:
  const gedcom::GedcomImportReport& m_report;
  QString m_sourceFile;
  QLabel* m_summary = nullptr;
  QTableView* m_changes = nullptr;
  QPlainTextEdit* m_notes = nullptr;
  QPlainTextEdit* m_dropped = nullptr;
};
